#pragma once

#include <arpa/inet.h>

#include <cstdint>

#include "fake_iphlpapi.h"
#include "fake_kernel.h"
#include "fake_winsock.h"
#include "platform/iphlpapi.h"
#include "probe/site_host.h"
#include "reset.h"

inline constexpr std::uint32_t kInterface = 7;
inline constexpr std::uint32_t kOtherInterface = 1;

inline Ipv4Address Address(const char* text) { return ::inet_addr(text); }

inline platform::MibIpAddrRow Row(const char* address, std::uint32_t index, const char* mask,
                                  std::uint16_t type) {
    platform::MibIpAddrRow row;
    row.dwAddr = Address(address);
    row.dwIndex = index;
    row.dwMask = Address(mask);
    row.wType = type;
    return row;
}

inline constexpr std::uint16_t kPrimary = platform::MIB_IPADDR_PRIMARY_BIT;
inline constexpr std::uint16_t kSecondary = 0;

// A computer whose route to the site leaves through interface 7, which holds a secondary
// address before its primary one, behind a gateway that answers ARP.
inline void ScriptHealthyEnvironment() {
    fake::Reset();
    fake::winsock.names[SITE_HOST] = {0, platform::FAMILY_INET, Address("93.184.216.34")};
    fake::iphlpapi.bestInterfaceIndex = kInterface;
    fake::iphlpapi.physicalAddress = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    fake::iphlpapi.addressRows = {Row("127.0.0.1", kOtherInterface, "255.0.0.0", kPrimary),
                                  Row("192.168.1.77", kInterface, "255.255.255.0", kSecondary),
                                  Row("192.168.1.20", kInterface, "255.255.255.0", kPrimary)};
    fake::iphlpapi.bestRouteNextHop = Address("192.168.1.1");
    fake::iphlpapi.arpReplies[Address("192.168.1.1")] = {0, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}};
    fake::kernel.computerName = "WORKSTATION-7";
}
