#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where the Linux management objects come from: the kernel's links, the sysfs tree and the
// NIC's wake-on-LAN options. The program always uses the defaults; tests point the sysfs root at
// a tree of their own and script the links and wake options, which no device here supports.
namespace platform::linux_backend {

struct Link {
    int index = 0;
    std::string name;
    std::uint16_t hardwareType = 0;  // ARPHRD_*
    std::vector<std::uint8_t> address;
};

// The wake-on-LAN options (WAKE_* bits) a NIC supports and has enabled.
struct WakeOnLan {
    std::uint32_t supported = 0;
    std::uint32_t enabled = 0;
};

// The links of this network namespace in index order; empty when they cannot be listed.
std::vector<Link> ListLinks();

// Each returns 0 or a positive errno value (EOPNOTSUPP for a NIC without wake-on-LAN, EPERM
// for a change without the privilege to make it).
int GetWakeOnLan(int linkIndex, WakeOnLan* options);
int SetWakeOnLan(int linkIndex, std::uint32_t enabled);

struct WmiSources {
    std::string sysfsRoot = "/sys";
    std::function<std::vector<Link>()> listLinks = ListLinks;
    std::function<int(int, WakeOnLan*)> getWakeOnLan = GetWakeOnLan;
    std::function<int(int, std::uint32_t)> setWakeOnLan = SetWakeOnLan;
};

WmiSources& CurrentWmiSources();

}  // namespace platform::linux_backend
