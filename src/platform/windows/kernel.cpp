#include "platform/kernel.h"

#include <windows.h>

namespace platform {

int GetComputerNameA(char* buffer, std::uint32_t* size) {
    DWORD nativeSize = *size;
    const BOOL result = ::GetComputerNameA(buffer, &nativeSize);
    *size = nativeSize;
    return result;
}

void SetLastError(std::uint32_t errorCode) { ::SetLastError(errorCode); }

std::uint32_t GetLastError() { return ::GetLastError(); }

}  // namespace platform
