#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The network links the kernel knows in this namespace.
namespace platform::linux_backend {

struct Link {
    int index = 0;
    std::string name;
    std::uint16_t hardwareType = 0;  // ARPHRD_*
    std::vector<std::uint8_t> address;
};

// The links of this network namespace in index order; empty when they cannot be listed.
std::vector<Link> ListLinks();

}  // namespace platform::linux_backend
