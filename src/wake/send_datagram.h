#pragma once

#include <cstdint>

#include "platform/types.h"

// UDP destination port of every wake datagram.
inline constexpr std::uint16_t WAKE_PORT = 34125;

// Hop limit of the wake broadcast: it reaches the local network and one router beyond, no further.
inline constexpr int WAKE_BROADCAST_HOP_LIMIT = 2;

// Whether the system took a datagram to send, and when it did not, the sockets error number of
// the call that refused it.
struct DatagramOutcome {
    bool accepted = false;
    int error = 0;
};

// Sends one UDP datagram to `address`, port WAKE_PORT, on a socket of its own. With `broadcast`
// the socket may send to a broadcast address and its datagrams carry WAKE_BROADCAST_HOP_LIMIT.
DatagramOutcome SendDatagram(Ipv4Address address, bool broadcast, const void* data, int length);
