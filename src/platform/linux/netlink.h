#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

// One question to a kernel netlink family (routing, generic) and the reading of its answers.
namespace platform::linux_backend {

using Bytes = std::span<const std::uint8_t>;

// A request message: the netlink header is added when it is sent, so it holds the family
// header (rtmsg, ifinfomsg, genlmsghdr, ...) and its attributes.
class NetlinkRequest {
  public:
    template <class FamilyHeader>
    NetlinkRequest(std::uint16_t type, std::uint16_t flags, const FamilyHeader& header)
        : type_(type), flags_(flags) {
        Append(&header, sizeof header);
    }

    void AddAttribute(std::uint16_t attributeType, const void* data, std::size_t length);

    template <class Value>
    void AddValue(std::uint16_t attributeType, const Value& value) {
        AddAttribute(attributeType, &value, sizeof value);
    }

    // Returns the offset to hand to EndNested once the nested attributes are added.
    std::size_t BeginNested(std::uint16_t attributeType);
    void EndNested(std::size_t start);

    // Sends the request on a new socket of `protocol` (NETLINK_ROUTE, NETLINK_GENERIC) and hands
    // each answer's type and payload to `onReply`, until the answer is complete. Returns 0, or the
    // positive errno of the kernel's refusal.
    int Exchange(int protocol,
                 const std::function<void(std::uint16_t type, Bytes payload)>& onReply) const;

  private:
    void Append(const void* data, std::size_t length);

    std::uint16_t type_;
    std::uint16_t flags_;
    std::vector<std::uint8_t> payload_;
};

// Reads the family header at the start of a reply payload; false when the payload is short.
template <class FamilyHeader>
bool ReadFamilyHeader(Bytes payload, FamilyHeader* header) {
    if (payload.size() < sizeof *header) return false;
    std::memcpy(header, payload.data(), sizeof *header);
    return true;
}

// The attributes that follow a family header of `headerSize` bytes in a reply payload, or, with
// a size of 0, those nested in an attribute's data.
class NetlinkAttributes {
  public:
    NetlinkAttributes(Bytes payload, std::size_t headerSize);

    // The attribute's data; empty when it is absent.
    Bytes Find(std::uint16_t attributeType) const;

    // Copies an attribute of exactly the value's size; false when there is none such.
    template <class Value>
    bool Read(std::uint16_t attributeType, Value* value) const {
        const Bytes data = Find(attributeType);
        if (data.size() != sizeof *value) return false;
        std::memcpy(value, data.data(), sizeof *value);
        return true;
    }

  private:
    Bytes area_;
};

}  // namespace platform::linux_backend
