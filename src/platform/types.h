#pragma once

#include <array>
#include <bit>
#include <cstdint>

// An IPv4 address in network byte order, exactly as the dotted-text parser, the resolver and the
// IP Helper calls hand it over; masks apply to it bit for bit.
using Ipv4Address = std::uint32_t;

// All ones stands for "no address": 255.255.255.255 can therefore never be given as an input.
inline constexpr Ipv4Address IPV4_NONE = 0xFFFFFFFFu;

using MacAddress = std::array<std::uint8_t, 6>;

// htons for the program's own constants: byte order is a property of the wire, not a platform
// call, so it needs no backend.
constexpr std::uint16_t HostToNetwork16(std::uint16_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<std::uint16_t>((value << 8) | (value >> 8));
    }
    return value;
}
