#include "wake/hex_digits.h"

std::uint8_t HexDigitValue(WideChar character) {
    if (character >= u'0' && character <= u'9') return static_cast<std::uint8_t>(character - u'0');
    if (character >= u'A' && character <= u'F') {
        return static_cast<std::uint8_t>(character - u'A' + 10);
    }
    if (character >= u'a' && character <= u'f') {
        return static_cast<std::uint8_t>(character - u'a' + 10);
    }
    return 0;
}

std::uint8_t ParseHexByte(WideChar high, WideChar low) {
    return static_cast<std::uint8_t>((HexDigitValue(high) << 4) | HexDigitValue(low));
}
