#pragma once

#include <span>

#include "platform/wide_text.h"

// The whole run: scan, start-up of sockets and COM, one command, shut-down. Argument 0 is the
// program path. Returns the exit status: 1 when COM cannot be started, else 0.
int RunProgram(std::span<const WideText> arguments);
