#pragma once

#include "cli/command_options.h"

enum class Command { Info, Adapter, Wake, Usage };

// The one command a run performs: the first rule that applies, in order of precedence.
Command ChooseCommand(const CommandOptions& options);
