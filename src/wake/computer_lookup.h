#pragma once

#include "platform/types.h"
#include "platform/wide_text.h"

// Looks the computer's name up and says so. When it resolves to an IPv4 address and no target
// was known yet, that address becomes the target and the mask is dropped, since the mask belongs
// to an address the user did not give. A name holding a character of 256 or more is not looked up.
void LookUpComputer(WideText computer, Ipv4Address& target, Ipv4Address& mask);
