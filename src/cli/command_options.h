#pragma once

#include <span>

#include "platform/wide_text.h"

// What the option scan found. The texts refer to the argument strings themselves; an option that
// was not given holds the empty text.
struct CommandOptions {
    bool set = false;
    bool clear = false;
    bool info = false;
    bool query = false;
    bool wake = false;
    WideText mac;
    WideText computer;
    WideText ip;
    WideText subnet;
};

// Scans the arguments, skipping argument 0 (the program path).
CommandOptions ScanArguments(std::span<const WideText> arguments);
