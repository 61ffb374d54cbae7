#pragma once

#include <cstdint>

#include "platform/types.h"

// The sockets calls, in the program's own types. Numbers that cross this boundary (address
// families, resolver results, error numbers) are those of Windows Sockets on every build.
namespace platform {

inline constexpr int FAMILY_UNSPECIFIED = 0;
inline constexpr int FAMILY_INET = 2;
inline constexpr int FAMILY_INET6 = 23;

inline constexpr std::uint16_t WINSOCK_VERSION_2_0 = 0x0002;

struct WsaData {
    std::uint16_t version = 0;
    std::uint16_t highVersion = 0;
};

int WSAStartup(std::uint16_t requestedVersion, WsaData* data);

// The last error of a failed sockets call on this thread.
int WSAGetLastError();

struct AddrInfoHints {
    int flags = 0;
    int family = FAMILY_UNSPECIFIED;
    int socketType = 0;
    int protocol = 0;
};

// One resolver answer. `address` holds the IPv4 address only when `family` is FAMILY_INET.
struct AddrInfo {
    int family = FAMILY_UNSPECIFIED;
    Ipv4Address address = 0;
    AddrInfo* next = nullptr;
};

// Returns 0 and a list that freeaddrinfo releases, or a Windows Sockets error number.
int getaddrinfo(const char* nodeName, const char* serviceName, const AddrInfoHints* hints,
                AddrInfo** result);
void freeaddrinfo(AddrInfo* list);

// IPV4_NONE for text that is not a dotted address, the empty text included.
Ipv4Address inet_addr(const char* text);

// Dotted text in storage owned by the sockets layer, valid until the next call.
const char* inet_ntoa(Ipv4Address address);

using Socket = std::uintptr_t;
inline constexpr Socket INVALID_SOCKET_HANDLE = ~Socket{0};
inline constexpr int SOCKET_CALL_FAILED = -1;

enum class SocketType { Datagram };
enum class SocketLevel { SocketLayer, Ip };
enum class SocketOption { Broadcast, MulticastTimeToLive, TimeToLive };

// The destination of a datagram, laid out as the 16-byte IPv4 socket address.
struct SocketAddressInet {
    std::int16_t family = FAMILY_INET;
    std::uint16_t port = 0;  // network byte order
    Ipv4Address address = 0;
    std::uint8_t zero[8] = {};
};
static_assert(sizeof(SocketAddressInet) == 16);

Socket socket(int family, SocketType type, int protocol);
int setsockopt(Socket handle, SocketLevel level, SocketOption option, const void* value,
               int valueLength);
int sendto(Socket handle, const void* buffer, int length, int flags, const SocketAddressInet* to,
           int toLength);
int closesocket(Socket handle);

}  // namespace platform
