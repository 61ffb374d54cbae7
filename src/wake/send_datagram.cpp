#include "wake/send_datagram.h"

#include "platform/winsock.h"

namespace {

void SetIntegerOption(platform::Socket handle, platform::SocketLevel level,
                      platform::SocketOption option, int value) {
    platform::setsockopt(handle, level, option, &value, static_cast<int>(sizeof value));
}

// The hop limit is a courtesy to the networks beyond the first router: a failure to set it is no
// reason to withhold the wake broadcast.
void AllowBroadcast(platform::Socket handle) {
    SetIntegerOption(handle, platform::SocketLevel::SocketLayer, platform::SocketOption::Broadcast,
                     1);
    SetIntegerOption(handle, platform::SocketLevel::Ip, platform::SocketOption::MulticastTimeToLive,
                     WAKE_BROADCAST_HOP_LIMIT);
    SetIntegerOption(handle, platform::SocketLevel::Ip, platform::SocketOption::TimeToLive,
                     WAKE_BROADCAST_HOP_LIMIT);
}

}  // namespace

DatagramOutcome SendDatagram(Ipv4Address address, bool broadcast, const void* data, int length) {
    const platform::Socket handle =
        platform::socket(platform::FAMILY_INET, platform::SocketType::Datagram, 0);
    if (handle == platform::INVALID_SOCKET_HANDLE) return {false, platform::WSAGetLastError()};

    platform::SocketAddressInet destination;
    destination.port = HostToNetwork16(WAKE_PORT);
    destination.address = address;
    if (broadcast) AllowBroadcast(handle);

    DatagramOutcome outcome{true, 0};
    if (platform::sendto(handle, data, length, 0, &destination,
                         static_cast<int>(sizeof destination)) == platform::SOCKET_CALL_FAILED) {
        // Read before closing, which may overwrite the error.
        outcome = {false, platform::WSAGetLastError()};
    }
    platform::closesocket(handle);
    return outcome;
}
