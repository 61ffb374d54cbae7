#include <string>
#include <vector>

#include "cli/program.h"
#include "platform/wide_text.h"

// Windows hands the arguments over as UTF-16 already; they are copied into the program's own
// wide-character type unchanged, code unit for code unit.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::u16string> copies;
    copies.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        std::u16string copy;
        for (const wchar_t* c = argv[i]; *c != L'\0'; ++c)
            copy.push_back(static_cast<char16_t>(*c));
        copies.push_back(std::move(copy));
    }
    const std::vector<WideText> arguments(copies.begin(), copies.end());
    return RunProgram(arguments);
}
