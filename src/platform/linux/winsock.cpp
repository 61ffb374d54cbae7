#include "platform/winsock.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/windows_error_numbers.h"
#include "platform/native/address_list.h"

namespace platform {

namespace {

int NativeFamily(int family) {
    switch (family) {
        case FAMILY_INET:
            return AF_INET;
        case FAMILY_INET6:
            return AF_INET6;
        default:
            return AF_UNSPEC;
    }
}

int WindowsFamily(int nativeFamily) {
    switch (nativeFamily) {
        case AF_INET:
            return FAMILY_INET;
        case AF_INET6:
            return FAMILY_INET6;
        default:
            return nativeFamily;
    }
}

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
    if (data != nullptr) {
        data->version = requestedVersion;
        data->highVersion = WINSOCK_VERSION_2_0;
    }
    return 0;
}

int WSAGetLastError() { return errno; }

int getaddrinfo(const char* nodeName, const char* serviceName, const AddrInfoHints* hints,
                AddrInfo** result) {
    addrinfo nativeHints{};
    if (hints != nullptr) {
        nativeHints.ai_flags = hints->flags;
        nativeHints.ai_family = NativeFamily(hints->family);
        nativeHints.ai_socktype = hints->socketType;
        nativeHints.ai_protocol = hints->protocol;
    }
    addrinfo* nativeList = nullptr;
    const int code = ::getaddrinfo(nodeName, serviceName, hints != nullptr ? &nativeHints : nullptr,
                                   &nativeList);
    if (code != 0) return linux_backend::WindowsResolverError(code);

    const int copied = native::CopyAddressList<sockaddr_in>(nativeList, WindowsFamily, result);
    ::freeaddrinfo(nativeList);
    return copied;
}

Ipv4Address inet_addr(const char* text) { return ::inet_addr(text); }

const char* inet_ntoa(Ipv4Address address) {
    in_addr native{};
    native.s_addr = address;
    return ::inet_ntoa(native);
}

Socket socket(int family, SocketType, int protocol) {
    const int handle = ::socket(NativeFamily(family), SOCK_DGRAM, protocol);
    return handle < 0 ? INVALID_SOCKET_HANDLE : static_cast<Socket>(handle);
}

int setsockopt(Socket handle, SocketLevel level, SocketOption option, const void* value,
               int valueLength) {
    const NativeOption native = NativeOptionFor(level, option);
    const int result = ::setsockopt(static_cast<int>(handle), native.level, native.name, value,
                                    static_cast<socklen_t>(valueLength));
    return result == 0 ? 0 : SOCKET_CALL_FAILED;
}

int sendto(Socket handle, const void* buffer, int length, int flags, const SocketAddressInet* to,
           int) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = to->port;
    destination.sin_addr.s_addr = to->address;
    const ssize_t sent =
        ::sendto(static_cast<int>(handle), buffer, static_cast<std::size_t>(length), flags,
                 reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    return sent < 0 ? SOCKET_CALL_FAILED : static_cast<int>(sent);
}

int closesocket(Socket handle) {
    return ::close(static_cast<int>(handle)) == 0 ? 0 : SOCKET_CALL_FAILED;
}

}  // namespace platform
