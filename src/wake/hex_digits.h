#pragma once

#include <cstdint>

#include "platform/wide_text.h"

// Value of one character as a hexadecimal digit; every character that is not one, including any
// outside ASCII, counts as 0.
std::uint8_t HexDigitValue(WideChar character);

// The byte that two hexadecimal digit characters spell, high digit first.
std::uint8_t ParseHexByte(WideChar high, WideChar low);
