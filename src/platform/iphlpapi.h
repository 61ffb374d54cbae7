#pragma once

#include <cstdint>

#include "platform/types.h"

// The IP Helper calls, in the program's own types. Results are Windows error numbers on every
// build: 0 for success.
namespace platform {

inline constexpr std::uint32_t NO_ERROR_RESULT = 0;
inline constexpr std::uint32_t ERROR_BAD_NET_NAME_RESULT = 67;

// Resolves the destination's hardware address by ARP. On entry `physicalAddressLength` holds the
// size of `macAddress`; on success it holds the length of the address written there.
std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength);

}  // namespace platform
