#pragma once

#include <cstdint>

#include "platform/types.h"

// The IP Helper calls, in the program's own types. Results are Windows error numbers on every
// build: 0 for success.
namespace platform {

inline constexpr std::uint32_t NO_ERROR_RESULT = 0;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY_RESULT = 8;
inline constexpr std::uint32_t ERROR_BAD_NET_NAME_RESULT = 67;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER_RESULT = 87;
inline constexpr std::uint32_t ERROR_INSUFFICIENT_BUFFER_RESULT = 122;

// The longest hardware address an interface row can hold.
inline constexpr std::uint32_t MAX_PHYSICAL_ADDRESS_LENGTH = 8;

// `wType` bit of an address row: the interface's primary address.
inline constexpr std::uint16_t MIB_IPADDR_PRIMARY_BIT = 0x0001;

// The part of an interface row that the program reads.
struct MibIfRow {
    std::uint32_t dwIndex = 0;
    std::uint32_t dwPhysAddrLen = 0;
    std::uint8_t bPhysAddr[MAX_PHYSICAL_ADDRESS_LENGTH] = {};
};

// One IPv4 address row, laid out as the Windows row so that a table crosses the Windows backend
// unchanged. Addresses are in network byte order.
struct MibIpAddrRow {
    std::uint32_t dwAddr = 0;
    std::uint32_t dwIndex = 0;
    std::uint32_t dwMask = 0;
    std::uint32_t dwBCastAddr = 0;
    std::uint32_t dwReasmSize = 0;
    std::uint16_t unused1 = 0;
    std::uint16_t wType = 0;
};

// The address table as it lies in the caller's buffer: the row count, then that many rows.
struct MibIpAddrTable {
    std::uint32_t dwNumEntries = 0;
    MibIpAddrRow table[1];
};

// The bytes a table of `rowCount` rows needs.
constexpr std::uint32_t IpAddrTableSize(std::uint32_t rowCount) {
    return static_cast<std::uint32_t>(sizeof(std::uint32_t) + rowCount * sizeof(MibIpAddrRow));
}

// The part of a route row that the program reads.
struct MibIpForwardRow {
    Ipv4Address dwForwardNextHop = 0;
    std::uint32_t dwForwardIfIndex = 0;
};

// The index of the interface the system would use to reach `destination`.
std::uint32_t GetBestInterface(Ipv4Address destination, std::uint32_t* bestIfIndex);

// Fills the row of the interface whose index `row->dwIndex` names.
std::uint32_t GetIfEntry(MibIfRow* row);

// Writes the IPv4 address table into `table` when `*size` bytes hold it; otherwise returns
// ERROR_INSUFFICIENT_BUFFER_RESULT with the needed size in `*size`.
std::uint32_t GetIpAddrTable(MibIpAddrTable* table, std::uint32_t* size, bool sorted);

// The route the system would use to reach `destination`. For a destination on a directly
// attached subnet the next hop is the destination itself.
std::uint32_t GetBestRoute(Ipv4Address destination, Ipv4Address source, MibIpForwardRow* route);

// Resolves the destination's hardware address by ARP. On entry `physicalAddressLength` holds the
// size of `macAddress`; on success it holds the length of the address written there.
std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength);

}  // namespace platform
