#pragma once

#include <array>

#include "platform/types.h"

// Room for the printed form of a MacAddress and its terminator.
using MacText = std::array<char, 18>;

// Six lower-case two-digit hexadecimal pairs joined by ':', e.g. "00:1a:2b:3c:4d:5e".
MacText FormatMac(const MacAddress& mac);
