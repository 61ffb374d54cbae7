#include "wake/single_byte_text.h"

#include <new>

std::unique_ptr<char[]> ToSingleByteText(WideText text) {
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[text.size() + 1]);
    if (bytes == nullptr) return nullptr;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0xFF) return nullptr;
        bytes[i] = static_cast<char>(text[i]);
    }
    bytes[text.size()] = '\0';
    return bytes;
}
