#pragma once

#include <windows.h>

#include "platform/com.h"

// The Windows value of a COM authentication level, shared by start-up and the proxy blanket.
namespace platform::windows_backend {

DWORD NativeAuthenticationLevel(AuthenticationLevel level);

}  // namespace platform::windows_backend
