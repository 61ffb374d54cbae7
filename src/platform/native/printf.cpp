#include <cstdarg>
#include <cstdio>

#include "platform/console.h"

// Shared by the Linux and Windows backends: on both the program's output is the C library's
// standard output.
namespace platform {

void printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
}

}  // namespace platform
