#include "wake/magic_packet.h"

#include <algorithm>

#include "wake/hex_digits.h"

MacAddress ParseMacText(WideText mac) {
    MacAddress binary{};
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = ParseHexByte(mac[i * 3], mac[i * 3 + 1]);
    }
    return binary;
}

MagicPacket BuildMagicPacket(const MacAddress& mac) {
    MagicPacket packet{};
    auto next = std::fill_n(packet.begin(), 6, std::uint8_t{0xFF});
    while (next != packet.end()) next = std::copy(mac.begin(), mac.end(), next);
    return packet;
}
