#include "wake/ipv4_text.h"

#include "platform/winsock.h"
#include "wake/single_byte_text.h"

Ipv4Address ParseIpv4Text(WideText text) {
    if (text.empty()) return IPV4_NONE;
    const std::unique_ptr<char[]> bytes = ToSingleByteText(text);
    if (bytes == nullptr) return IPV4_NONE;
    return platform::inet_addr(bytes.get());
}
