#pragma once

#include "platform/types.h"
#include "platform/wide_text.h"

// The address a dotted text names; IPV4_NONE for the empty text, for text that is not a dotted
// address, for text holding a character of 256 or more, and when no memory can be had.
Ipv4Address ParseIpv4Text(WideText text);
