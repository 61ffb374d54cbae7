#include <cstdarg>
#include <cstdio>
#include <vector>

#include "fake_console.h"
#include "platform/console.h"

namespace fake {
std::string console;
}

namespace platform {

void printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    fake::console.append(text.data(), static_cast<std::size_t>(length));
}

std::string ConsoleText(WideText text) { return EncodeUtf8(text); }

}  // namespace platform
