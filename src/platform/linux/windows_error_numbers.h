#pragma once

#include <cstdint>

// The one place where the kernel's and the C library's error values become the Windows error
// numbers that the program reports, so both builds print the same codes.
namespace platform::linux_backend {

// A resolver result (EAI_*) as the Windows Sockets error number getaddrinfo returns there.
int WindowsResolverError(int eaiCode);

// A kernel errno as the Windows system error number of the IP Helper and kernel calls.
std::uint32_t WindowsSystemError(int errnoValue);

}  // namespace platform::linux_backend
