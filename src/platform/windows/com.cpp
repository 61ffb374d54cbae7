#include "platform/com.h"

#include <objbase.h>

#include "platform/windows/native_com.h"

namespace platform {

namespace windows_backend {

DWORD NativeAuthenticationLevel(AuthenticationLevel level) {
    switch (level) {
        case AuthenticationLevel::Call:
            return RPC_C_AUTHN_LEVEL_CALL;
        case AuthenticationLevel::Default:
            break;
    }
    return RPC_C_AUTHN_LEVEL_DEFAULT;
}

}  // namespace windows_backend

HResult CoInitializeEx(void* reserved, ConcurrencyModel) {
    return ::CoInitializeEx(reserved, COINIT_MULTITHREADED);
}

HResult CoInitializeSecurity(void* securityDescriptor, std::int32_t authServiceCount,
                             void* authServices, void* reserved1,
                             AuthenticationLevel authenticationLevel, ImpersonationLevel,
                             void* authenticationList, Capabilities, void* reserved3) {
    return ::CoInitializeSecurity(
        static_cast<PSECURITY_DESCRIPTOR>(securityDescriptor), authServiceCount,
        static_cast<SOLE_AUTHENTICATION_SERVICE*>(authServices), reserved1,
        windows_backend::NativeAuthenticationLevel(authenticationLevel),
        RPC_C_IMP_LEVEL_IMPERSONATE, authenticationList, EOAC_NONE, reserved3);
}

void CoUninitialize() { ::CoUninitialize(); }

}  // namespace platform
