#pragma once

#include <array>
#include <cstdint>

#include "platform/types.h"
#include "probe/format_mac.h"

// The facts the service's cloud needs to wake this computer through its local network, found
// for one run of the info command. Gather fills it; a failing step leaves the rest at their
// initial values and says why in the thread's last-error value.
struct NetworkEnvironment {
    Ipv4Address siteAddress = IPV4_NONE;
    std::int32_t interfaceIndex = -1;
    MacAddress interfaceMac{};
    MacText interfaceMacText{};
    Ipv4Address localAddress = IPV4_NONE;
    Ipv4Address localMask = IPV4_NONE;
    Ipv4Address nextHop = IPV4_NONE;
    MacAddress nextHopMac{};
    MacText nextHopMacText{};
    std::array<char, 16> computerName{};

    // The site's address, or IPV4_NONE when it does not resolve to an IPv4 address.
    static Ipv4Address ResolveSite();

    // 1 when every required fact was found; 0 after printing the step that failed.
    int Gather();

    void Print() const;

  private:
    // The steps of Gather that can fail, each returning the error that stops it (0 when none).
    std::uint32_t FindInterface();
    std::uint32_t FindPrimaryAddress();
    std::uint32_t FindNextHop();
    void ResolveNextHopMac();
};
