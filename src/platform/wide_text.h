#pragma once

#include <string>
#include <string_view>

// Command-line arguments are UTF-16 on every build and stay wide while the program uses them.
using WideChar = char16_t;
using WideText = std::u16string_view;

// Whole-text comparison that folds only the ASCII letters A-Z onto a-z; every other code unit
// must be identical.
bool EqualsIgnoringAsciiCase(WideText left, WideText right);

// Prefix comparison with the same folding: true when `text` begins with `prefix`.
bool StartsWithIgnoringAsciiCase(WideText text, WideText prefix);

// Decodes UTF-8 into UTF-16. Every ill-formed sequence (a stray or truncated byte, an overlong
// form, an encoded surrogate, a value past U+10FFFF) becomes one U+FFFD per maximal ill-formed
// subpart, so a broken argument can never turn into a different, valid ASCII word.
std::u16string DecodeUtf8(std::string_view bytes);

// Encodes UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(WideText text);
