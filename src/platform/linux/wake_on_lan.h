#pragma once

#include <cstdint>

// A NIC's wake-on-LAN options as the kernel's ethtool family reports and changes them.
namespace platform::linux_backend {

// The wake-on-LAN options (WAKE_* bits) a NIC supports and has enabled.
struct WakeOnLan {
    std::uint32_t supported = 0;
    std::uint32_t enabled = 0;
};

// Each returns 0 or a positive errno value (EOPNOTSUPP for a NIC without wake-on-LAN, EPERM
// for a change without the privilege to make it).
int GetWakeOnLan(int linkIndex, WakeOnLan* options);
int SetWakeOnLan(int linkIndex, std::uint32_t enabled);

}  // namespace platform::linux_backend
