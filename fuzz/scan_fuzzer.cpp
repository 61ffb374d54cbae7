#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/command_options.h"
#include "cli/dispatch.h"
#include "fuzz_check.h"

namespace {

// True when `text` is empty or is one of the arguments after the program path, by address: the
// options must refer to the arguments themselves and never to anything past the vector.
bool RefersToAnArgument(WideText text, const std::vector<WideText>& arguments) {
    if (text.empty()) return true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (text.data() == arguments[i].data() && text.size() == arguments[i].size()) return true;
    }
    return false;
}

}  // namespace

// The input is a list of UTF-16 arguments separated by a zero code unit. Each argument is a heap
// block of its own, so reading past one is caught by AddressSanitizer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::u16string> storage = {u"netrise"};
    std::u16string current;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0) {
            storage.push_back(current);
            current.clear();
        } else {
            current.push_back(unit);
        }
    }
    storage.push_back(current);
    std::vector<WideText> arguments(storage.begin(), storage.end());

    const CommandOptions options = ScanArguments(arguments);

    FUZZ_CHECK(!(options.set && options.clear));
    for (WideText text : {options.mac, options.computer, options.ip, options.subnet}) {
        FUZZ_CHECK(RefersToAnArgument(text, arguments));
    }
    const Command command = ChooseCommand(options);
    FUZZ_CHECK(command != Command::Adapter || !options.mac.empty());
    FUZZ_CHECK(command == Command::Info || !options.info);
    return 0;
}
