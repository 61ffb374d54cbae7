#pragma once

#include <cstdint>

// The one place where the kernel's and the C library's error values become the Windows error
// numbers that the program reports, so both builds print the same codes.
namespace platform::linux_backend {

// A resolver result (EAI_*) as the Windows Sockets error number getaddrinfo returns there.
int WindowsResolverError(int eaiCode);

inline constexpr std::uint32_t WINDOWS_ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t WINDOWS_ERROR_BUFFER_OVERFLOW = 111;

// A kernel errno met while asking the kernel about links, addresses, routes and neighbours, as
// the Windows system error number that the IP Helper and kernel calls return for the same
// condition.
std::uint32_t WindowsSystemError(int errnoValue);

}  // namespace platform::linux_backend
