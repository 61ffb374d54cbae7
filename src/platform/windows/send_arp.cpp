#include "platform/iphlpapi.h"
#include "platform/windows/system_iphlpapi.h"

namespace platform {

std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    ULONG length = *physicalAddressLength;
    const DWORD result = ::SendARP(destination, source, macAddress, &length);
    *physicalAddressLength = length;
    return result;
}

}  // namespace platform
