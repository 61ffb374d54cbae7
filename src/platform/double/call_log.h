#pragma once

#include <string>
#include <vector>

namespace fake {

// Every platform call the double receives, in order, written as "Name(arguments)".
extern std::vector<std::string> calls;

void Record(std::string call);

// The calls whose name (the text before the parenthesis) is `name`.
std::vector<std::string> CallsNamed(const std::string& name);

}  // namespace fake
