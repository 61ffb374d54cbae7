#pragma once

#include <memory>

#include "platform/wide_text.h"

// The text as a zero-terminated string of single bytes, each character below 256 becoming the
// byte of the same value. Null when the text holds a character of 256 or more, or when no memory
// can be had for it.
std::unique_ptr<char[]> ToSingleByteText(WideText text);
