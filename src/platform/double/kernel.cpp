#include <cstring>
#include <string>

#include "call_log.h"
#include "fake_kernel.h"
#include "platform/kernel.h"

namespace fake {
Kernel kernel;
}

namespace platform {

namespace {

constexpr std::uint32_t kErrorBufferOverflow = 111;

}  // namespace

int GetComputerNameA(char* buffer, std::uint32_t* size) {
    fake::Record("GetComputerNameA(" + std::to_string(*size) + ")");
    const std::string& name = fake::kernel.computerName;
    const auto needed = static_cast<std::uint32_t>(name.size() + 1);
    if (*size < needed) {
        *size = needed;
        fake::kernel.lastError = kErrorBufferOverflow;
        return 0;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed - 1;
    return 1;
}

void SetLastError(std::uint32_t errorCode) {
    fake::Record("SetLastError(" + std::to_string(errorCode) + ")");
    fake::kernel.lastError = errorCode;
}

std::uint32_t GetLastError() {
    fake::Record("GetLastError()");
    return fake::kernel.lastError;
}

}  // namespace platform
