#pragma once

#include <cstdint>

// A routing netlink socket that listens to the kernel's change notifications, so that a caller
// waiting for a change wakes when one happens instead of asking again and again.
namespace platform::linux_backend {

class NetlinkNotifications {
  public:
    // `groups`: the RTMGRP_* bits to listen to. When no socket can be had, Await just sleeps.
    explicit NetlinkNotifications(std::uint32_t groups);
    ~NetlinkNotifications();
    NetlinkNotifications(const NetlinkNotifications&) = delete;
    NetlinkNotifications& operator=(const NetlinkNotifications&) = delete;

    // Waits up to `timeoutMilliseconds` for notifications and discards them.
    void Await(int timeoutMilliseconds);

  private:
    int descriptor_ = -1;
};

}  // namespace platform::linux_backend
