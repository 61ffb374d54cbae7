#pragma once

#include "platform/wide_text.h"

// "-query", "-set" and "-clear": reads or switches the wake settings of the adapter with the
// given hardware address and reports the outcome.
void RunAdapterCommand(bool query, bool set, WideText mac);
