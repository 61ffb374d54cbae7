#include <string>

#include "call_log.h"
#include "fake_com.h"

namespace fake {
Com com;
}

namespace platform {

namespace {

const char* Pointer(const void* pointer) { return pointer == nullptr ? "null" : "pointer"; }

const char* Name(AuthenticationLevel level) {
    return level == AuthenticationLevel::Default ? "RPC_C_AUTHN_LEVEL_DEFAULT"
                                                 : "RPC_C_AUTHN_LEVEL_CALL";
}

}  // namespace

HResult CoInitializeEx(void* reserved, ConcurrencyModel) {
    fake::Record(std::string("CoInitializeEx(") + Pointer(reserved) + ", COINIT_MULTITHREADED)");
    return fake::com.coInitializeExResult;
}

HResult CoInitializeSecurity(void* securityDescriptor, std::int32_t authServiceCount,
                             void* authServices, void* reserved1,
                             AuthenticationLevel authenticationLevel, ImpersonationLevel,
                             void* authenticationList, Capabilities, void* reserved3) {
    fake::Record(std::string("CoInitializeSecurity(") + Pointer(securityDescriptor) + ", " +
                 std::to_string(authServiceCount) + ", " + Pointer(authServices) + ", " +
                 Pointer(reserved1) + ", " + Name(authenticationLevel) +
                 ", RPC_C_IMP_LEVEL_IMPERSONATE, " + Pointer(authenticationList) + ", EOAC_NONE, " +
                 Pointer(reserved3) + ")");
    return fake::com.coInitializeSecurityResult;
}

void CoUninitialize() { fake::Record("CoUninitialize()"); }

}  // namespace platform
