#pragma once

#include <cstdint>

// The COM start-up and shut-down calls, in the program's own types.
namespace platform {

using HResult = std::int32_t;

inline bool Failed(HResult result) { return result < 0; }

enum class ConcurrencyModel { Multithreaded };
enum class AuthenticationLevel { Default, Call };
enum class ImpersonationLevel { Impersonate };
enum class Capabilities { None };

HResult CoInitializeEx(void* reserved, ConcurrencyModel model);

HResult CoInitializeSecurity(void* securityDescriptor, std::int32_t authServiceCount,
                             void* authServices, void* reserved1,
                             AuthenticationLevel authenticationLevel,
                             ImpersonationLevel impersonationLevel, void* authenticationList,
                             Capabilities capabilities, void* reserved3);

void CoUninitialize();

}  // namespace platform
