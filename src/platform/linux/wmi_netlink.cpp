#include "platform/linux/wmi_netlink.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::linux_backend {

namespace {

std::size_t Aligned(std::size_t length) { return NLMSG_ALIGN(length); }

nlmsghdr* Header(std::vector<std::uint8_t>& bytes) {
    return reinterpret_cast<nlmsghdr*>(bytes.data());
}

// Closes the socket however the exchange ends.
class SocketHandle {
  public:
    explicit SocketHandle(int descriptor) : descriptor_(descriptor) {}
    ~SocketHandle() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    int Get() const { return descriptor_; }

  private:
    int descriptor_;
};

}  // namespace

NetlinkRequest::NetlinkRequest(std::uint16_t type, std::uint16_t flags)
    : bytes_(Aligned(sizeof(nlmsghdr)), 0) {
    nlmsghdr* header = Header(bytes_);
    header->nlmsg_len = static_cast<std::uint32_t>(bytes_.size());
    header->nlmsg_type = type;
    header->nlmsg_flags = flags;
    header->nlmsg_seq = 1;
}

void NetlinkRequest::AppendFixed(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + length);
    bytes_.resize(Aligned(bytes_.size()), 0);
    Header(bytes_)->nlmsg_len = static_cast<std::uint32_t>(bytes_.size());
}

void NetlinkRequest::AddAttribute(std::uint16_t type, const void* data, std::size_t length) {
    nlattr attribute{};
    attribute.nla_len = static_cast<std::uint16_t>(NLA_HDRLEN + length);
    attribute.nla_type = type;
    const auto* header = reinterpret_cast<const std::uint8_t*>(&attribute);
    bytes_.insert(bytes_.end(), header, header + sizeof attribute);
    bytes_.resize(bytes_.size() + NLA_HDRLEN - sizeof attribute, 0);
    if (length > 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), bytes, bytes + length);
    }
    bytes_.resize(Aligned(bytes_.size()), 0);
    Header(bytes_)->nlmsg_len = static_cast<std::uint32_t>(bytes_.size());
}

void NetlinkRequest::AddU32(std::uint16_t type, std::uint32_t value) {
    AddAttribute(type, &value, sizeof value);
}

void NetlinkRequest::AddText(std::uint16_t type, std::string_view text) {
    std::vector<char> terminated(text.begin(), text.end());
    terminated.push_back('\0');
    AddAttribute(type, terminated.data(), terminated.size());
}

std::size_t NetlinkRequest::BeginNested(std::uint16_t type) {
    const std::size_t start = bytes_.size();
    AddAttribute(static_cast<std::uint16_t>(type | NLA_F_NESTED), nullptr, 0);
    return start;
}

void NetlinkRequest::EndNested(std::size_t start) {
    auto* attribute = reinterpret_cast<nlattr*>(bytes_.data() + start);
    attribute->nla_len = static_cast<std::uint16_t>(bytes_.size() - start);
}

std::uint16_t NetlinkRequest::Flags() const {
    return reinterpret_cast<const nlmsghdr*>(bytes_.data())->nlmsg_flags;
}

std::vector<NetlinkAttribute> ParseAttributes(const std::uint8_t* data, std::size_t length) {
    std::vector<NetlinkAttribute> attributes;
    std::size_t offset = 0;
    while (offset + NLA_HDRLEN <= length) {
        nlattr header{};
        std::memcpy(&header, data + offset, sizeof header);
        if (header.nla_len < NLA_HDRLEN || offset + header.nla_len > length) break;
        attributes.push_back({static_cast<std::uint16_t>(header.nla_type & NLA_TYPE_MASK),
                              data + offset + NLA_HDRLEN,
                              static_cast<std::size_t>(header.nla_len) - NLA_HDRLEN});
        offset += NLA_ALIGN(header.nla_len);
    }
    return attributes;
}

const NetlinkAttribute* FindAttribute(const std::vector<NetlinkAttribute>& attributes,
                                      std::uint16_t type) {
    for (const NetlinkAttribute& attribute : attributes) {
        if (attribute.type == type) return &attribute;
    }
    return nullptr;
}

std::uint32_t AttributeU32(const NetlinkAttribute* attribute) {
    std::uint32_t value = 0;
    if (attribute != nullptr && attribute->length >= sizeof value) {
        std::memcpy(&value, attribute->data, sizeof value);
    }
    return value;
}

int ExchangeNetlink(int protocol, const NetlinkRequest& request,
                    const std::function<void(const nlmsghdr& message)>& onReply) {
    const SocketHandle socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, protocol));
    if (socket.Get() < 0) return errno;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    const std::vector<std::uint8_t>& bytes = request.Bytes();
    if (::sendto(socket.Get(), bytes.data(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        return errno;
    }
    const bool awaitsEnd = (request.Flags() & (NLM_F_DUMP | NLM_F_ACK)) != 0;
    std::vector<std::uint8_t> buffer(32768);
    for (;;) {
        const ssize_t received = ::recv(socket.Get(), buffer.data(), buffer.size(), 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        const auto size = static_cast<std::size_t>(received);
        std::size_t offset = 0;
        while (offset + sizeof(nlmsghdr) <= size) {
            const auto* message = reinterpret_cast<const nlmsghdr*>(buffer.data() + offset);
            if (message->nlmsg_len < sizeof(nlmsghdr) || offset + message->nlmsg_len > size) break;
            if (message->nlmsg_type == NLMSG_DONE) return 0;
            if (message->nlmsg_type == NLMSG_ERROR) {
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
                return -error->error;
            }
            onReply(*message);
            if (!awaitsEnd) return 0;
            offset += NLMSG_ALIGN(message->nlmsg_len);
        }
    }
}

}  // namespace platform::linux_backend
