#pragma once

#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// The few netlink pieces the management objects need: building one request, walking the
// attributes of a reply, and one request-and-answer exchange on a socket of its own.
namespace platform::linux_backend {

class NetlinkRequest {
  public:
    NetlinkRequest(std::uint16_t type, std::uint16_t flags);

    // The message's fixed part (ifinfomsg, genlmsghdr), padded to the netlink alignment.
    void AppendFixed(const void* data, std::size_t length);
    void AddAttribute(std::uint16_t type, const void* data, std::size_t length);
    void AddU32(std::uint16_t type, std::uint32_t value);
    void AddText(std::uint16_t type, std::string_view text);
    // Returns the offset to hand to EndNested once the nested attributes are added.
    std::size_t BeginNested(std::uint16_t type);
    void EndNested(std::size_t start);

    std::uint16_t Flags() const;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

struct NetlinkAttribute {
    std::uint16_t type = 0;  // without the nested and byte-order flags
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
};

std::vector<NetlinkAttribute> ParseAttributes(const std::uint8_t* data, std::size_t length);
const NetlinkAttribute* FindAttribute(const std::vector<NetlinkAttribute>& attributes,
                                      std::uint16_t type);
// 0 when the attribute is absent or too short.
std::uint32_t AttributeU32(const NetlinkAttribute* attribute);

// Sends the request on a new socket of `protocol` and hands every answering message to
// `onReply`, until a dump is done, an acknowledgement or error arrives, or the single reply of a
// plain request has come. Returns 0 or a positive errno value.
int ExchangeNetlink(int protocol, const NetlinkRequest& request,
                    const std::function<void(const nlmsghdr& message)>& onReply);

}  // namespace platform::linux_backend
