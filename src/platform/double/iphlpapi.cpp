#include <algorithm>
#include <cstring>
#include <string>

#include "call_log.h"
#include "fake_iphlpapi.h"
#include "platform/winsock.h"

namespace fake {
Iphlpapi iphlpapi;
}

namespace platform {

std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    std::string call = std::string("SendARP(") + inet_ntoa(destination);
    call +=
        std::string(", ") + inet_ntoa(source) + ", " + std::to_string(*physicalAddressLength) + ")";
    fake::Record(call);
    const auto found = fake::iphlpapi.arpReplies.find(destination);
    if (found == fake::iphlpapi.arpReplies.end()) return ERROR_BAD_NET_NAME_RESULT;
    if (found->second.result != NO_ERROR_RESULT) return found->second.result;
    const std::size_t length =
        std::min<std::size_t>(found->second.mac.size(), *physicalAddressLength);
    std::memcpy(macAddress, found->second.mac.data(), length);
    *physicalAddressLength = static_cast<std::uint32_t>(length);
    return NO_ERROR_RESULT;
}

}  // namespace platform
