#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_text.h"
#include "wake/hex_digits.h"
#include "wake/ipv4_text.h"
#include "wake/magic_packet.h"

namespace {

std::uint8_t ExpectedDigitValue(char16_t c) { return AsciiHexDigit(c).value_or(0); }

void CheckDigits(std::u16string_view text) {
    for (char16_t c : text) {
        const std::uint8_t value = HexDigitValue(c);
        FUZZ_CHECK(value <= 15);
        FUZZ_CHECK(value == 0 || AsciiHexDigit(c).has_value());
        FUZZ_CHECK(value == ExpectedDigitValue(c));
    }
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        FUZZ_CHECK(ParseHexByte(text[i], text[i + 1]) ==
                   ExpectedDigitValue(text[i]) * 16 + ExpectedDigitValue(text[i + 1]));
    }
}

// A MAC text of the length the wake command reads: each byte comes from its pair alone, whatever
// the separators hold, and the packet built from it is six 0xFF and then those bytes sixteen times.
void CheckMac(std::u16string_view mac) {
    const MacAddress binary = ParseMacText(mac);
    for (std::size_t i = 0; i < binary.size(); ++i) {
        FUZZ_CHECK(binary[i] ==
                   ExpectedDigitValue(mac[i * 3]) * 16 + ExpectedDigitValue(mac[i * 3 + 1]));
    }
    const MagicPacket packet = BuildMagicPacket(binary);
    for (std::size_t i = 0; i < 6; ++i) FUZZ_CHECK(packet[i] == 0xFF);
    for (std::size_t i = 6; i < packet.size(); ++i) FUZZ_CHECK(packet[i] == binary[(i - 6) % 6]);
}

}  // namespace

// The whole input is one text: it is parsed as an address, its characters as hexadecimal
// digits, and its first MAC_TEXT_LENGTH characters, when it has them, as a MAC text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text =
        WideFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));

    const Ipv4Address address = ParseIpv4Text(text);
    FUZZ_CHECK(address == ExpectedIpv4(text));

    CheckDigits(text);
    if (text.size() >= MAC_TEXT_LENGTH) {
        // A heap copy of exactly the length read, so a read past it is caught.
        const std::u16string mac = text.substr(0, MAC_TEXT_LENGTH);
        CheckMac(mac);
    }
    return 0;
}
