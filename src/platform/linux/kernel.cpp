#include "platform/kernel.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "platform/linux/windows_error_numbers.h"

namespace platform {

namespace {

constexpr std::size_t kMaxComputerNameLength = 15;
constexpr std::uint32_t kErrorBufferOverflow = 111;

thread_local std::uint32_t lastError = 0;

// The computer name Windows derives from a host name: its first label, in upper case, cut to
// 15 characters.
std::string ComputerNameOf(const char* hostName) {
    std::string name(hostName, std::strcspn(hostName, "."));
    name.resize(std::min(name.size(), kMaxComputerNameLength));
    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    return name;
}

}  // namespace

int GetComputerNameA(char* buffer, std::uint32_t* size) {
    char hostName[HOST_NAME_MAX + 1] = {};
    if (::gethostname(hostName, sizeof hostName - 1) != 0) {
        SetLastError(linux_backend::WindowsSystemError(errno));
        return 0;
    }
    const std::string name = ComputerNameOf(hostName);
    const auto needed = static_cast<std::uint32_t>(name.size() + 1);
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        SetLastError(kErrorBufferOverflow);
        return 0;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed - 1;
    return 1;
}

void SetLastError(std::uint32_t errorCode) { lastError = errorCode; }

std::uint32_t GetLastError() { return lastError; }

}  // namespace platform
