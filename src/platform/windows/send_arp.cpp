#include "platform/windows/system_iphlpapi.h"

#include "platform/iphlpapi.h"

namespace platform {

std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    if (physicalAddressLength == nullptr) {
        return ::SendARP(destination, source, macAddress, nullptr);
    }
    ULONG length = *physicalAddressLength;
    const DWORD result = ::SendARP(destination, source, macAddress, &length);
    *physicalAddressLength = length;
    return result;
}

}  // namespace platform
