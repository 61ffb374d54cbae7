#include "platform/com.h"

// Linux has no COM: start-up succeeds and shut-down has nothing to undo.
namespace platform {

HResult CoInitializeEx(void*, ConcurrencyModel) { return 0; }

HResult CoInitializeSecurity(void*, std::int32_t, void*, void*, AuthenticationLevel,
                             ImpersonationLevel, void*, Capabilities, void*) {
    return 0;
}

void CoUninitialize() {}

}  // namespace platform
