#include "platform/iphlpapi.h"

// Stands in for the rtnetlink neighbour resolution until it joins this backend: answers as
// Windows does where ARP is not available.
namespace platform {

std::uint32_t SendARP(Ipv4Address, Ipv4Address, void*, std::uint32_t*) {
    return 50;  // ERROR_NOT_SUPPORTED
}

}  // namespace platform
