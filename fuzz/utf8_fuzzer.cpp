#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "platform/wide_text.h"

namespace {

bool IsAscii(std::uint32_t c) { return c < 0x80; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string decoded = DecodeUtf8(bytes);

    // Ill-formed bytes never swallow or invent an ASCII character: the ASCII characters come out
    // exactly as they went in, in order, so no broken argument can become another ASCII word.
    std::string asciiIn;
    for (char c : bytes) {
        if (IsAscii(static_cast<unsigned char>(c))) asciiIn.push_back(c);
    }
    std::string asciiOut;
    for (char16_t c : decoded) {
        if (IsAscii(c)) asciiOut.push_back(static_cast<char>(c));
    }
    FUZZ_CHECK(asciiIn == asciiOut);

    // The result is well-formed UTF-16: every surrogate is half of a pair.
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const char16_t c = decoded[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            FUZZ_CHECK(i + 1 < decoded.size() && decoded[i + 1] >= 0xDC00 &&
                       decoded[i + 1] <= 0xDFFF);
            ++i;
        } else {
            FUZZ_CHECK(c < 0xDC00 || c > 0xDFFF);
        }
    }

    // Well-formed input (nothing replaced) survives the round trip unchanged.
    if (decoded.find(u'\uFFFD') == std::u16string::npos) FUZZ_CHECK(EncodeUtf8(decoded) == bytes);
    return 0;
}
