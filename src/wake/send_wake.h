#pragma once

#include "platform/wide_text.h"

// Sends the wake traffic that the given texts allow; an empty text is an option not given.
void SendWake(WideText mac, WideText ip, WideText subnet, WideText computer);
