#pragma once

#include <string>

#include "platform/wide_text.h"

namespace platform {

// Formatted print to standard output, one call per line of output.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void printf(const char* format, ...);

// The 8-bit form in which wide text is printed: UTF-8 on Linux, the console's output code page
// on Windows. Every "%S" of the program's messages goes through here and is printed with "%s".
std::string ConsoleText(WideText text);

}  // namespace platform
