#pragma once

#include <cstdint>
#include <string>

namespace fake {

struct Kernel {
    // The name GetComputerNameA reports; it fails as Windows does when the buffer is too small.
    std::string computerName = "FAKE-PC";
    std::uint32_t lastError = 0;
};

extern Kernel kernel;

}  // namespace fake
