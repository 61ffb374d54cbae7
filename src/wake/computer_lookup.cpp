#include "wake/computer_lookup.h"

#include "platform/console.h"
#include "platform/winsock.h"
#include "wake/single_byte_text.h"

void LookUpComputer(WideText computer, Ipv4Address& target, Ipv4Address& mask) {
    const std::unique_ptr<char[]> name = ToSingleByteText(computer);
    if (name == nullptr) return;

    platform::AddrInfoHints hints;
    hints.family = platform::FAMILY_INET;
    platform::AddrInfo* addresses = nullptr;
    const int result = platform::getaddrinfo(name.get(), nullptr, &hints, &addresses);
    platform::printf("Broadcast NetBIOS lookup.\n");
    if (result != 0) return;

    if (addresses->family == platform::FAMILY_INET && target == IPV4_NONE) {
        target = addresses->address;
        mask = IPV4_NONE;
    }
    platform::freeaddrinfo(addresses);
}
