#include <string>
#include <vector>

#include "cli/program.h"
#include "platform/wide_text.h"

// Linux hands the arguments over as bytes; the program works on UTF-16, so each argument is
// decoded from UTF-8 here, ill-formed bytes becoming U+FFFD.
int main(int argc, char** argv) {
    std::vector<std::u16string> decoded;
    decoded.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) decoded.push_back(DecodeUtf8(argv[i]));
    const std::vector<WideText> arguments(decoded.begin(), decoded.end());
    return RunProgram(arguments);
}
