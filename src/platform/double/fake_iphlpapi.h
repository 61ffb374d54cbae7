#pragma once

#include <cstdint>
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
};

extern Iphlpapi iphlpapi;

}  // namespace fake
