#include "cli/command_options.h"

#include <array>
#include <cstddef>

namespace {

struct ValueWord {
    WideText word;
    WideText CommandOptions::*field;
};

constexpr std::array<ValueWord, 4> kValueWords = {{
    {u"-mac", &CommandOptions::mac},
    {u"-computer", &CommandOptions::computer},
    {u"-ip", &CommandOptions::ip},
    {u"-subnet", &CommandOptions::subnet},
}};

void ApplyFlagWords(WideText argument, CommandOptions& options) {
    if (EqualsIgnoringAsciiCase(argument, u"-set")) {
        options.set = true;
        options.clear = false;
    }
    if (EqualsIgnoringAsciiCase(argument, u"-clear")) {
        options.set = false;
        options.clear = true;
    }
    if (EqualsIgnoringAsciiCase(argument, u"-info")) options.info = true;
    if (EqualsIgnoringAsciiCase(argument, u"-query")) options.query = true;
    if (EqualsIgnoringAsciiCase(argument, u"-wake")) options.wake = true;
}

}  // namespace

CommandOptions ScanArguments(std::span<const WideText> arguments) {
    CommandOptions options;
    std::size_t index = 1;
    while (index < arguments.size()) {
        ApplyFlagWords(arguments[index], options);
        // Each value word is compared with the argument at the current index, which moves on
        // as soon as a word takes its value: a value that spells a later value word acts as
        // that word too. A value word with nothing after it ends the scan.
        for (const ValueWord& valueWord : kValueWords) {
            if (!EqualsIgnoringAsciiCase(arguments[index], valueWord.word)) continue;
            ++index;
            if (index >= arguments.size()) return options;
            options.*valueWord.field = arguments[index];
        }
        ++index;
    }
    return options;
}
