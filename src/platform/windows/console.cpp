#include "platform/console.h"

#include <windows.h>

namespace platform {

// Wide text is shown in the code page the console displays (the OEM page unless the user
// changed it); without a console, as when the output is redirected, the ANSI page is used.
// Characters that page cannot show become its default character.
std::string ConsoleText(WideText text) {
    if (text.empty()) return {};
    UINT codePage = GetConsoleOutputCP();
    if (codePage == 0) codePage = GetACP();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, wide, wideLength, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

}  // namespace platform
