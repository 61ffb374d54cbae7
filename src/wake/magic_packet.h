#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/types.h"
#include "platform/wide_text.h"

// Length of a MAC text that the wake command reads: six pairs and five separators.
inline constexpr std::size_t MAC_TEXT_LENGTH = 17;

inline constexpr std::size_t MAGIC_PACKET_LENGTH = 102;
using MagicPacket = std::array<std::uint8_t, MAGIC_PACKET_LENGTH>;

// The hardware address spelled by the hexadecimal pairs at positions 0, 3, 6, 9, 12 and 15 of a
// MAC text of MAC_TEXT_LENGTH characters; the separators between them are not examined.
MacAddress ParseMacText(WideText mac);

// Six bytes 0xFF followed by the hardware address sixteen times.
MagicPacket BuildMagicPacket(const MacAddress& mac);
