#include "platform/linux/netlink.h"

#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform::linux_backend {

namespace {

constexpr std::uint32_t kSequence = 1;

// Large enough for any single datagram of a dump: the kernel fills at most about 32 KiB.
constexpr std::size_t kReceiveBufferSize = 64 * 1024;

class NetlinkSocket {
  public:
    explicit NetlinkSocket(int protocol)
        : handle_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, protocol)) {}
    ~NetlinkSocket() {
        if (handle_ >= 0) ::close(handle_);
    }
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;

    int handle() const { return handle_; }

  private:
    int handle_;
};

// Walks the messages of one datagram. Returns 0 to read on, 1 when the answer is complete, or
// a negative errno from the kernel.
int HandleDatagram(const std::uint8_t* data, std::size_t length,
                   const std::function<void(std::uint16_t, Bytes)>& onReply) {
    std::size_t offset = 0;
    while (offset + sizeof(nlmsghdr) <= length) {
        nlmsghdr header{};
        std::memcpy(&header, data + offset, sizeof header);
        if (header.nlmsg_len < sizeof header || offset + header.nlmsg_len > length) return -EIO;
        const Bytes payload(data + offset + NLMSG_HDRLEN, header.nlmsg_len - NLMSG_HDRLEN);
        offset += NLMSG_ALIGN(header.nlmsg_len);
        if (header.nlmsg_seq != kSequence) continue;
        if (header.nlmsg_type == NLMSG_ERROR || header.nlmsg_type == NLMSG_DONE) {
            int error = 0;
            if (payload.size() >= sizeof error) std::memcpy(&error, payload.data(), sizeof error);
            return error < 0 ? error : 1;
        }
        onReply(header.nlmsg_type, payload);
        if ((header.nlmsg_flags & NLM_F_MULTI) == 0) return 1;
    }
    return 0;
}

}  // namespace

void NetlinkRequest::Append(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    payload_.insert(payload_.end(), bytes, bytes + length);
    payload_.resize(NLMSG_ALIGN(payload_.size()));
}

void NetlinkRequest::AddAttribute(std::uint16_t attributeType, const void* data,
                                  std::size_t length) {
    nlattr attribute{};
    attribute.nla_len = static_cast<std::uint16_t>(NLA_HDRLEN + length);
    attribute.nla_type = attributeType;
    const std::size_t start = payload_.size();
    payload_.resize(start + NLA_ALIGN(attribute.nla_len));
    std::memcpy(payload_.data() + start, &attribute, sizeof attribute);
    if (length > 0) std::memcpy(payload_.data() + start + NLA_HDRLEN, data, length);
}

std::size_t NetlinkRequest::BeginNested(std::uint16_t attributeType) {
    const std::size_t start = payload_.size();
    AddAttribute(static_cast<std::uint16_t>(attributeType | NLA_F_NESTED), nullptr, 0);
    return start;
}

void NetlinkRequest::EndNested(std::size_t start) {
    const auto length = static_cast<std::uint16_t>(payload_.size() - start);
    std::memcpy(payload_.data() + start + offsetof(nlattr, nla_len), &length, sizeof length);
}

int NetlinkRequest::Exchange(
    int protocol, const std::function<void(std::uint16_t type, Bytes payload)>& onReply) const {
    const NetlinkSocket socket(protocol);
    if (socket.handle() < 0) return errno;

    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(NLMSG_HDRLEN + payload_.size());
    header.nlmsg_type = type_;
    header.nlmsg_flags = static_cast<std::uint16_t>(NLM_F_REQUEST | flags_);
    header.nlmsg_seq = kSequence;
    std::vector<std::uint8_t> message(header.nlmsg_len);
    std::memcpy(message.data(), &header, sizeof header);
    std::memcpy(message.data() + NLMSG_HDRLEN, payload_.data(), payload_.size());

    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(socket.handle(), message.data(), message.size(), 0,
                 reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        return errno;
    }

    std::vector<std::uint8_t> datagram(kReceiveBufferSize);
    for (;;) {
        const ssize_t received = ::recv(socket.handle(), datagram.data(), datagram.size(), 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        const int outcome =
            HandleDatagram(datagram.data(), static_cast<std::size_t>(received), onReply);
        if (outcome < 0) return -outcome;
        if (outcome == 1) return 0;
    }
}

NetlinkAttributes::NetlinkAttributes(Bytes payload, std::size_t headerSize)
    : area_(payload.size() > NLMSG_ALIGN(headerSize) ? payload.subspan(NLMSG_ALIGN(headerSize))
                                                     : Bytes{}) {}

// Types compare without the nested and byte-order flags, which the kernel sets on some replies.
Bytes NetlinkAttributes::Find(std::uint16_t attributeType) const {
    std::size_t offset = 0;
    while (offset + NLA_HDRLEN <= area_.size()) {
        nlattr attribute{};
        std::memcpy(&attribute, area_.data() + offset, sizeof attribute);
        if (attribute.nla_len < NLA_HDRLEN || offset + attribute.nla_len > area_.size()) break;
        if ((attribute.nla_type & NLA_TYPE_MASK) == attributeType) {
            return area_.subspan(offset + NLA_HDRLEN, attribute.nla_len - NLA_HDRLEN);
        }
        offset += NLA_ALIGN(attribute.nla_len);
    }
    return {};
}

}  // namespace platform::linux_backend
