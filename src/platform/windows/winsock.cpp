#include "platform/winsock.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/native/address_list.h"

namespace platform {

namespace {

// The Windows numbers are the system's own.
int SameFamily(int family) { return family; }

struct NativeOption {
    int level;
    int name;
};

NativeOption NativeOptionFor(SocketLevel level, SocketOption option) {
    if (level == SocketLevel::SocketLayer && option == SocketOption::Broadcast) {
        return {SOL_SOCKET, SO_BROADCAST};
    }
    if (level == SocketLevel::Ip && option == SocketOption::MulticastTimeToLive) {
        return {IPPROTO_IP, IP_MULTICAST_TTL};
    }
    if (level == SocketLevel::Ip && option == SocketOption::TimeToLive) {
        return {IPPROTO_IP, IP_TTL};
    }
    return {-1, -1};
}

}  // namespace

int WSAStartup(std::uint16_t requestedVersion, WsaData* data) {
    WSADATA native{};
    const int result = ::WSAStartup(requestedVersion, &native);
    if (data != nullptr) {
        data->version = native.wVersion;
        data->highVersion = native.wHighVersion;
    }
    return result;
}

int WSAGetLastError() { return ::WSAGetLastError(); }

int getaddrinfo(const char* nodeName, const char* serviceName, const AddrInfoHints* hints,
                AddrInfo** result) {
    addrinfo nativeHints{};
    if (hints != nullptr) {
        nativeHints.ai_flags = hints->flags;
        nativeHints.ai_family = hints->family;
        nativeHints.ai_socktype = hints->socketType;
        nativeHints.ai_protocol = hints->protocol;
    }
    addrinfo* nativeList = nullptr;
    const int code = ::getaddrinfo(nodeName, serviceName, hints != nullptr ? &nativeHints : nullptr,
                                   &nativeList);
    if (code != 0) return code;

    const int copied = native::CopyAddressList<sockaddr_in>(nativeList, SameFamily, result);
    ::freeaddrinfo(nativeList);
    return copied;
}

Ipv4Address inet_addr(const char* text) { return ::inet_addr(text); }

const char* inet_ntoa(Ipv4Address address) {
    in_addr native{};
    native.S_un.S_addr = address;
    return ::inet_ntoa(native);
}

Socket socket(int family, SocketType, int protocol) {
    const SOCKET handle = ::socket(family, SOCK_DGRAM, protocol);
    return handle == INVALID_SOCKET ? INVALID_SOCKET_HANDLE : static_cast<Socket>(handle);
}

int setsockopt(Socket handle, SocketLevel level, SocketOption option, const void* value,
               int valueLength) {
    const NativeOption native = NativeOptionFor(level, option);
    const int result = ::setsockopt(static_cast<SOCKET>(handle), native.level, native.name,
                                    static_cast<const char*>(value), valueLength);
    return result == 0 ? 0 : SOCKET_CALL_FAILED;
}

int sendto(Socket handle, const void* buffer, int length, int flags, const SocketAddressInet* to,
           int) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = to->port;
    destination.sin_addr.S_un.S_addr = to->address;
    const int sent =
        ::sendto(static_cast<SOCKET>(handle), static_cast<const char*>(buffer), length, flags,
                 reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    return sent == SOCKET_ERROR ? SOCKET_CALL_FAILED : sent;
}

int closesocket(Socket handle) {
    return ::closesocket(static_cast<SOCKET>(handle)) == 0 ? 0 : SOCKET_CALL_FAILED;
}

}  // namespace platform
