#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "platform/iphlpapi.h"

namespace fake {

// What an ARP request for one destination yields.
struct ArpReply {
    std::uint32_t result = platform::NO_ERROR_RESULT;
    std::vector<std::uint8_t> mac;
};

struct Iphlpapi {
    // Destinations not listed here give no reply (ERROR_BAD_NET_NAME).
    std::map<Ipv4Address, ArpReply> arpReplies;

    // GetBestInterface answers this for every destination.
    std::uint32_t bestInterfaceResult = platform::NO_ERROR_RESULT;
    std::uint32_t bestInterfaceIndex = 0;

    // GetIfEntry answers this for every index.
    std::uint32_t ifEntryResult = platform::NO_ERROR_RESULT;
    std::vector<std::uint8_t> physicalAddress;

    // The rows GetIpAddrTable reports, in table order.
    std::vector<platform::MibIpAddrRow> addressRows;
    // Rows that join the table after each GetIpAddrTable call: a table that grows under the
    // caller between two calls.
    std::vector<platform::MibIpAddrRow> rowsAddedPerCall;
    // Results forced on the coming GetIpAddrTable calls, front first; when empty the table
    // answers by its size.
    std::deque<std::uint32_t> addressTableFailures;

    // GetBestRoute answers this for every destination.
    std::uint32_t bestRouteResult = platform::NO_ERROR_RESULT;
    Ipv4Address bestRouteNextHop = 0;
};

extern Iphlpapi iphlpapi;

}  // namespace fake
