#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/winsock.h"

namespace fake {

// What the resolver answers for one name.
struct Resolution {
    int result = 0;
    int family = platform::FAMILY_INET;
    Ipv4Address address = 0;
};

// One datagram handed to sendto, with the broadcast setting of its socket at that moment and
// whether the call accepted it.
struct Datagram {
    platform::Socket socket = 0;
    Ipv4Address address = 0;
    std::uint16_t port = 0;  // host byte order
    bool broadcast = false;
    std::vector<std::uint8_t> bytes;
    bool accepted = true;
};

struct Winsock {
    // Names not listed here do not resolve (WSAHOST_NOT_FOUND).
    std::map<std::string, Resolution> names;
    // Results for the coming socket and sendto calls, front first; when empty they succeed.
    std::deque<bool> socketSucceeds;
    std::deque<bool> sendtoSucceeds;
    // What WSAGetLastError reports after a scripted failure.
    int lastError = 0;

    std::vector<Datagram> sent;
    std::set<platform::Socket> openSockets;
    int openAddressLists = 0;
    platform::Socket nextSocket = 100;
    std::map<platform::Socket, bool> broadcastEnabled;
};

extern Winsock winsock;

}  // namespace fake
