#pragma once

#include "platform/com.h"

namespace fake {

struct Com {
    platform::HResult coInitializeExResult = 0;
    platform::HResult coInitializeSecurityResult = 0;
};

extern Com com;

}  // namespace fake
