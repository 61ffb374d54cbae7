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

namespace {

std::uint32_t CopyAddressTable(MibIpAddrTable* table, std::uint32_t* size) {
    if (!fake::iphlpapi.addressTableFailures.empty()) {
        const std::uint32_t failure = fake::iphlpapi.addressTableFailures.front();
        fake::iphlpapi.addressTableFailures.pop_front();
        return failure;
    }
    const std::vector<MibIpAddrRow>& rows = fake::iphlpapi.addressRows;
    const std::uint32_t needed = IpAddrTableSize(static_cast<std::uint32_t>(rows.size()));
    if (*size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER_RESULT;
    }
    table->dwNumEntries = static_cast<std::uint32_t>(rows.size());
    std::copy(rows.begin(), rows.end(), table->table);
    return NO_ERROR_RESULT;
}

}  // namespace

std::uint32_t GetBestInterface(Ipv4Address destination, std::uint32_t* bestIfIndex) {
    fake::Record(std::string("GetBestInterface(") + inet_ntoa(destination) + ")");
    if (fake::iphlpapi.bestInterfaceResult != NO_ERROR_RESULT) {
        return fake::iphlpapi.bestInterfaceResult;
    }
    *bestIfIndex = fake::iphlpapi.bestInterfaceIndex;
    return NO_ERROR_RESULT;
}

std::uint32_t GetIfEntry(MibIfRow* row) {
    fake::Record("GetIfEntry(" + std::to_string(row->dwIndex) + ")");
    if (fake::iphlpapi.ifEntryResult != NO_ERROR_RESULT) return fake::iphlpapi.ifEntryResult;
    const std::vector<std::uint8_t>& address = fake::iphlpapi.physicalAddress;
    row->dwPhysAddrLen = static_cast<std::uint32_t>(address.size());
    std::copy_n(address.begin(), std::min<std::size_t>(address.size(), sizeof row->bPhysAddr),
                row->bPhysAddr);
    return NO_ERROR_RESULT;
}

std::uint32_t GetIpAddrTable(MibIpAddrTable* table, std::uint32_t* size, bool sorted) {
    fake::Record("GetIpAddrTable(" + std::to_string(*size) + ", " +
                 (sorted ? "sorted" : "unsorted") + ")");
    const std::uint32_t result = CopyAddressTable(table, size);
    fake::iphlpapi.addressRows.insert(fake::iphlpapi.addressRows.end(),
                                      fake::iphlpapi.rowsAddedPerCall.begin(),
                                      fake::iphlpapi.rowsAddedPerCall.end());
    return result;
}

std::uint32_t GetBestRoute(Ipv4Address destination, Ipv4Address source, MibIpForwardRow* route) {
    std::string call = std::string("GetBestRoute(") + inet_ntoa(destination);
    call += std::string(", ") + inet_ntoa(source) + ")";
    fake::Record(call);
    if (fake::iphlpapi.bestRouteResult != NO_ERROR_RESULT) return fake::iphlpapi.bestRouteResult;
    route->dwForwardNextHop = fake::iphlpapi.bestRouteNextHop;
    route->dwForwardIfIndex = fake::iphlpapi.bestInterfaceIndex;
    return NO_ERROR_RESULT;
}

std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    std::string call = std::string("SendARP(") + inet_ntoa(destination);
    call +=
        std::string(", ") + inet_ntoa(source) + ", " + std::to_string(*physicalAddressLength) + ")";
    fake::Record(call);
    const auto found = fake::iphlpapi.arpReplies.find(destination);
    if (found == fake::iphlpapi.arpReplies.end()) return ERROR_BAD_NET_NAME_RESULT;
    // A failing request may still leave bytes in the buffer.
    const std::size_t length =
        std::min<std::size_t>(found->second.mac.size(), *physicalAddressLength);
    std::memcpy(macAddress, found->second.mac.data(), length);
    if (found->second.result != NO_ERROR_RESULT) return found->second.result;
    *physicalAddressLength = static_cast<std::uint32_t>(length);
    return NO_ERROR_RESULT;
}

}  // namespace platform
