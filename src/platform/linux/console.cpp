#include "platform/console.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

void printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
}

std::string ConsoleText(WideText text) { return EncodeUtf8(text); }

}  // namespace platform
