#include <cstdint>
#include <cstdio>

#include "platform/iphlpapi.h"
#include "platform/winsock.h"

// Calls SendARP once for the address given and prints its result, the length it reports and the
// bytes it wrote: "<result> <length> <aa:bb:...>".
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s IPV4_ADDRESS\n", argv[0]);
        return 2;
    }
    std::uint8_t mac[8] = {};
    std::uint32_t length = sizeof mac;
    const std::uint32_t result = platform::SendARP(platform::inet_addr(argv[1]), 0, mac, &length);
    std::printf("%u %u ", result, length);
    for (std::uint32_t i = 0; i < length && i < sizeof mac; ++i) {
        std::printf(i == 0 ? "%02x" : ":%02x", mac[i]);
    }
    std::printf("\n");
    return 0;
}
