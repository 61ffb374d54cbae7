#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/link_list.h"
#include "platform/linux/wake_on_lan.h"

// Where the Linux management objects come from: the kernel's links, the sysfs tree and the
// NIC's wake-on-LAN options. The program always uses the defaults; tests point the sysfs root at
// a tree of their own and script the links and wake options, which no device here supports.
namespace platform::linux_backend {

struct WmiSources {
    std::string sysfsRoot = "/sys";
    std::function<std::vector<Link>()> listLinks = ListLinks;
    std::function<int(int, WakeOnLan*)> getWakeOnLan = GetWakeOnLan;
    std::function<int(int, std::uint32_t)> setWakeOnLan = SetWakeOnLan;
};

WmiSources& CurrentWmiSources();

}  // namespace platform::linux_backend
