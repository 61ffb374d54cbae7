#include <algorithm>
#include <cstddef>

#include "platform/iphlpapi.h"
#include "platform/windows/system_iphlpapi.h"

namespace platform {

// The address table is handed to Windows in the caller's buffer, so its layout must be the
// system's own.
static_assert(sizeof(MibIpAddrRow) == sizeof(MIB_IPADDRROW));
static_assert(offsetof(MibIpAddrRow, dwAddr) == offsetof(MIB_IPADDRROW, dwAddr));
static_assert(offsetof(MibIpAddrRow, dwIndex) == offsetof(MIB_IPADDRROW, dwIndex));
static_assert(offsetof(MibIpAddrRow, dwMask) == offsetof(MIB_IPADDRROW, dwMask));
static_assert(offsetof(MibIpAddrRow, wType) == offsetof(MIB_IPADDRROW, wType));
static_assert(offsetof(MibIpAddrTable, table) == offsetof(MIB_IPADDRTABLE, table));
static_assert(MIB_IPADDR_PRIMARY_BIT == MIB_IPADDR_PRIMARY);
static_assert(ERROR_INSUFFICIENT_BUFFER_RESULT == ERROR_INSUFFICIENT_BUFFER);
static_assert(MAX_PHYSICAL_ADDRESS_LENGTH == MAXLEN_PHYSADDR);

std::uint32_t GetBestInterface(Ipv4Address destination, std::uint32_t* bestIfIndex) {
    DWORD index = 0;
    const DWORD result = ::GetBestInterface(destination, &index);
    if (result == NO_ERROR) *bestIfIndex = index;
    return result;
}

std::uint32_t GetIfEntry(MibIfRow* row) {
    MIB_IFROW ifrow{};
    ifrow.dwIndex = row->dwIndex;
    const DWORD result = ::GetIfEntry(&ifrow);
    if (result == NO_ERROR) {
        row->dwPhysAddrLen = ifrow.dwPhysAddrLen;
        std::copy_n(ifrow.bPhysAddr, MAXLEN_PHYSADDR, row->bPhysAddr);
    }
    return result;
}

std::uint32_t GetIpAddrTable(MibIpAddrTable* table, std::uint32_t* size, bool sorted) {
    ULONG nativeSize = *size;
    const DWORD result = ::GetIpAddrTable(reinterpret_cast<PMIB_IPADDRTABLE>(table), &nativeSize,
                                          sorted ? TRUE : FALSE);
    *size = nativeSize;
    return result;
}

std::uint32_t GetBestRoute(Ipv4Address destination, Ipv4Address source, MibIpForwardRow* route) {
    MIB_IPFORWARDROW ipfr{};
    const DWORD result = ::GetBestRoute(destination, source, &ipfr);
    if (result == NO_ERROR) {
        route->dwForwardNextHop = ipfr.dwForwardNextHop;
        route->dwForwardIfIndex = ipfr.dwForwardIfIndex;
    }
    return result;
}

}  // namespace platform
