#pragma once

#include <string>

namespace fake {

// Everything the program printed, in order.
extern std::string console;

}  // namespace fake
