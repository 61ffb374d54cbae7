#include "platform/linux/netlink_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::linux_backend {

namespace {

// Large enough for the biggest message a dump packs into one datagram.
constexpr std::size_t kReceiveBufferLength = 32768;

std::size_t Aligned(std::size_t length) { return NLMSG_ALIGN(length); }

}  // namespace

NetlinkRequest::NetlinkRequest(std::uint16_t type, std::uint16_t flags, const void* familyHeader,
                               std::size_t familyHeaderLength) {
    nlmsghdr header{};
    header.nlmsg_type = type;
    header.nlmsg_flags = static_cast<std::uint16_t>(flags | NLM_F_REQUEST);
    Append(&header, sizeof header);
    Append(familyHeader, familyHeaderLength);
}

void NetlinkRequest::AddAttribute(std::uint16_t type, const void* data, std::size_t length) {
    nlattr attribute{};
    attribute.nla_type = type;
    attribute.nla_len = static_cast<std::uint16_t>(NLA_HDRLEN + length);
    Append(&attribute, sizeof attribute);
    Append(data, length);
}

void NetlinkRequest::Append(const void* data, std::size_t length) {
    const std::size_t start = bytes_.size();
    bytes_.resize(start + Aligned(length));
    std::memcpy(bytes_.data() + start, data, length);
    Header()->nlmsg_len = static_cast<std::uint32_t>(bytes_.size());
}

NetlinkAttributes::NetlinkAttributes(const nlmsghdr& message, std::size_t familyHeaderLength) {
    const auto* start = reinterpret_cast<const std::uint8_t*>(NLMSG_DATA(&message));
    std::size_t offset = Aligned(familyHeaderLength);
    const std::size_t end = message.nlmsg_len - NLMSG_HDRLEN;
    while (offset + NLA_HDRLEN <= end) {
        nlattr attribute;
        std::memcpy(&attribute, start + offset, sizeof attribute);
        if (attribute.nla_len < NLA_HDRLEN || offset + attribute.nla_len > end) break;
        const std::uint16_t type = attribute.nla_type & NLA_TYPE_MASK;
        if (type >= byType_.size()) byType_.resize(type + 1u);
        byType_[type] = {start + offset + NLA_HDRLEN,
                         static_cast<std::size_t>(attribute.nla_len - NLA_HDRLEN)};
        offset += NLA_ALIGN(attribute.nla_len);
    }
}

const void* NetlinkAttributes::Data(std::uint16_t type) const {
    return type < byType_.size() ? byType_[type].data : nullptr;
}

std::size_t NetlinkAttributes::Length(std::uint16_t type) const {
    return type < byType_.size() ? byType_[type].length : 0;
}

NetlinkSocket::NetlinkSocket(std::uint32_t groups) {
    descriptor_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (descriptor_ < 0) {
        openError_ = errno;
        return;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (::bind(descriptor_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        openError_ = errno;
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

NetlinkSocket::~NetlinkSocket() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

int NetlinkSocket::Exchange(NetlinkRequest& request,
                            const std::function<void(const nlmsghdr&)>& onAnswer) {
    if (descriptor_ < 0) return openError_;
    nlmsghdr* header = request.Header();
    header->nlmsg_flags |= NLM_F_ACK;
    header->nlmsg_seq = ++sequence_;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(descriptor_, header, header->nlmsg_len, 0,
                 reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        return errno;
    }

    std::vector<std::uint8_t> buffer(kReceiveBufferLength);
    for (;;) {
        const ssize_t received = ::recv(descriptor_, buffer.data(), buffer.size(), 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        auto remaining = static_cast<int>(received);
        for (auto* answer = reinterpret_cast<nlmsghdr*>(buffer.data()); NLMSG_OK(answer, remaining);
             answer = NLMSG_NEXT(answer, remaining)) {
            if (answer->nlmsg_seq != sequence_) continue;
            if (answer->nlmsg_type == NLMSG_ERROR) {
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(answer));
                return -error->error;
            }
            if (answer->nlmsg_type == NLMSG_DONE) {
                // A dump that failed part-way says so in its closing message.
                int error = 0;
                if (answer->nlmsg_len >= NLMSG_LENGTH(sizeof error)) {
                    std::memcpy(&error, NLMSG_DATA(answer), sizeof error);
                }
                return -error;
            }
            onAnswer(*answer);
        }
    }
}

bool NetlinkSocket::AwaitNotification(int timeoutMilliseconds) {
    if (descriptor_ < 0) return false;
    pollfd waiting{descriptor_, POLLIN, 0};
    if (::poll(&waiting, 1, timeoutMilliseconds) <= 0) return false;
    std::uint8_t discarded[kReceiveBufferLength];
    while (::recv(descriptor_, discarded, sizeof discarded, MSG_DONTWAIT) > 0) {
    }
    return true;
}

}  // namespace platform::linux_backend
