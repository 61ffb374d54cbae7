#pragma once

// The one place where the kernel's and the C library's error values become the Windows error
// numbers that the program reports, so both builds print the same codes.
namespace platform::linux_backend {

// A resolver result (EAI_*) as the Windows Sockets error number getaddrinfo returns there.
int WindowsResolverError(int eaiCode);

}  // namespace platform::linux_backend
