#pragma once

#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// A small client of the kernel's routing service (rtnetlink): requests with their attributes, the
// exchange of a request for its answers, and waiting for the kernel's change notifications.
namespace platform::linux_backend {

// One request: the netlink header, the header of the message family, then attributes.
class NetlinkRequest {
  public:
    template <class FamilyHeader>
    NetlinkRequest(std::uint16_t type, std::uint16_t flags, const FamilyHeader& familyHeader)
        : NetlinkRequest(type, flags, &familyHeader, sizeof familyHeader) {}

    void AddAttribute(std::uint16_t type, const void* data, std::size_t length);

    nlmsghdr* Header() { return reinterpret_cast<nlmsghdr*>(bytes_.data()); }

  private:
    NetlinkRequest(std::uint16_t type, std::uint16_t flags, const void* familyHeader,
                   std::size_t familyHeaderLength);

    void Append(const void* data, std::size_t length);

    std::vector<std::uint8_t> bytes_;
};

// The attributes that follow a family header of the given length in one answer, by type; the
// data of an attribute that is absent is null.
class NetlinkAttributes {
  public:
    NetlinkAttributes(const nlmsghdr& message, std::size_t familyHeaderLength);

    const void* Data(std::uint16_t type) const;
    std::size_t Length(std::uint16_t type) const;

  private:
    struct Found {
        const void* data = nullptr;
        std::size_t length = 0;
    };
    std::vector<Found> byType_;
};

class NetlinkSocket {
  public:
    // Opens a routing socket; `groups` (RTMGRP_* bits) subscribes it to change notifications.
    explicit NetlinkSocket(std::uint32_t groups = 0);
    ~NetlinkSocket();
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;

    // 0 when the socket is open, else the errno that kept it from opening.
    int OpenError() const { return openError_; }

    // Sends the request, asking for an acknowledgement, and hands every answer to `onAnswer`
    // until the acknowledgement or the end of a dump. Returns 0, or the errno that the kernel
    // reported for the request or that the socket met.
    int Exchange(NetlinkRequest& request, const std::function<void(const nlmsghdr&)>& onAnswer);

    // Waits up to `timeoutMilliseconds` for notifications and discards them; true when one came.
    bool AwaitNotification(int timeoutMilliseconds);

  private:
    int descriptor_ = -1;
    int openError_ = 0;
    std::uint32_t sequence_ = 0;
};

}  // namespace platform::linux_backend
