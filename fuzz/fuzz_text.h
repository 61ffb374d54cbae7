#pragma once

#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "platform/wide_text.h"

// Wide text from fuzz bytes: each byte is the character of the same value, except that 0xFF
// introduces a character spelled by the next two bytes (low byte first), so inputs stay readable
// while every character up to U+FFFF can still be reached.
inline std::u16string WideFromBytes(std::string_view bytes) {
    constexpr unsigned char kWideEscape = 0xFF;
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == kWideEscape && i + 2 < bytes.size()) {
            const auto low = static_cast<unsigned char>(bytes[i + 1]);
            const auto high = static_cast<unsigned char>(bytes[i + 2]);
            text.push_back(static_cast<char16_t>(low | (high << 8)));
            i += 2;
        } else {
            text.push_back(byte);
        }
    }
    return text;
}

// The bytes up to the next newline, which is dropped; `rest` keeps what follows it.
inline std::string_view TakeLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

// The text as single bytes, or nothing when a character does not fit in one.
inline std::optional<std::string> SingleBytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) {
        if (c > 0xFF) return std::nullopt;
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

// What a dotted-address text should come to: no address for the empty text or for text with a
// character beyond a single byte, else the system parser's answer on its single bytes.
inline Ipv4Address ExpectedIpv4(std::u16string_view text) {
    const std::optional<std::string> bytes = SingleBytes(text);
    if (!bytes || bytes->empty()) return IPV4_NONE;
    return ::inet_addr(bytes->c_str());
}

// The value of an ASCII hexadecimal digit, found by position in the digit alphabets.
inline std::optional<std::uint8_t> AsciiHexDigit(char16_t c) {
    constexpr std::u16string_view kLower = u"0123456789abcdef";
    constexpr std::u16string_view kUpper = u"0123456789ABCDEF";
    for (std::u16string_view digits : {kLower, kUpper}) {
        const std::size_t at = digits.find(c);
        if (at != std::u16string_view::npos) return static_cast<std::uint8_t>(at);
    }
    return std::nullopt;
}
