#include <arpa/inet.h>

#include <cstring>
#include <string>

#include "call_log.h"
#include "fake_winsock.h"

namespace fake {
Winsock winsock;
}

namespace platform {

namespace {

constexpr int kHostNotFound = 11001;

bool TakeScripted(std::deque<bool>& script) {
    if (script.empty()) return true;
    const bool succeeds = script.front();
    script.pop_front();
    return succeeds;
}

std::string LevelName(SocketLevel level) {
    return level == SocketLevel::SocketLayer ? "SOL_SOCKET" : "IPPROTO_IP";
}

std::string OptionName(SocketOption option) {
    switch (option) {
        case SocketOption::Broadcast:
            return "SO_BROADCAST";
        case SocketOption::MulticastTimeToLive:
            return "IP_MULTICAST_TTL";
        case SocketOption::TimeToLive:
            return "IP_TTL";
    }
    return "?";
}

}  // namespace

int WSAStartup(std::uint16_t requestedVersion, WsaData* data) {
    fake::Record("WSAStartup(" + std::to_string(requestedVersion & 0xFF) + "." +
                 std::to_string(requestedVersion >> 8) + ")");
    if (data != nullptr) data->version = requestedVersion;
    return 0;
}

int WSAGetLastError() { return fake::winsock.lastError; }

int getaddrinfo(const char* nodeName, const char*, const AddrInfoHints* hints, AddrInfo** result) {
    fake::Record(std::string("getaddrinfo(") + nodeName + ", family " +
                 std::to_string(hints != nullptr ? hints->family : -1) + ")");
    const auto found = fake::winsock.names.find(nodeName);
    if (found == fake::winsock.names.end()) return kHostNotFound;
    if (found->second.result != 0) return found->second.result;
    *result = new AddrInfo{found->second.family, found->second.address, nullptr};
    ++fake::winsock.openAddressLists;
    return 0;
}

void freeaddrinfo(AddrInfo* list) {
    fake::Record("freeaddrinfo()");
    --fake::winsock.openAddressLists;
    while (list != nullptr) {
        AddrInfo* next = list->next;
        delete list;
        list = next;
    }
}

Ipv4Address inet_addr(const char* text) { return ::inet_addr(text); }

const char* inet_ntoa(Ipv4Address address) {
    in_addr native{};
    native.s_addr = address;
    return ::inet_ntoa(native);
}

Socket socket(int family, SocketType, int protocol) {
    fake::Record("socket(" + std::to_string(family) + ", SOCK_DGRAM, " + std::to_string(protocol) +
                 ")");
    if (!TakeScripted(fake::winsock.socketSucceeds)) return INVALID_SOCKET_HANDLE;
    const Socket handle = fake::winsock.nextSocket++;
    fake::winsock.openSockets.insert(handle);
    return handle;
}

int setsockopt(Socket handle, SocketLevel level, SocketOption option, const void* value,
               int valueLength) {
    int number = 0;
    if (valueLength == static_cast<int>(sizeof number)) std::memcpy(&number, value, sizeof number);
    fake::Record("setsockopt(" + std::to_string(handle) + ", " + LevelName(level) + ", " +
                 OptionName(option) + ", " + std::to_string(number) + ", " +
                 std::to_string(valueLength) + ")");
    if (fake::winsock.openSockets.count(handle) == 0) return SOCKET_CALL_FAILED;
    if (option == SocketOption::Broadcast) fake::winsock.broadcastEnabled[handle] = number != 0;
    return 0;
}

int sendto(Socket handle, const void* buffer, int length, int flags, const SocketAddressInet* to,
           int toLength) {
    const std::uint16_t port = HostToNetwork16(to->port);
    fake::Record("sendto(" + std::to_string(handle) + ", " + std::to_string(length) + " bytes, " +
                 std::to_string(flags) + ", " + inet_ntoa(to->address) + ":" +
                 std::to_string(port) + ", " + std::to_string(toLength) + ")");
    const bool accepted =
        fake::winsock.openSockets.count(handle) == 1 && TakeScripted(fake::winsock.sendtoSucceeds);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    fake::winsock.sent.push_back({handle, to->address, port, fake::winsock.broadcastEnabled[handle],
                                  std::vector<std::uint8_t>(bytes, bytes + length), accepted});
    return accepted ? length : SOCKET_CALL_FAILED;
}

int closesocket(Socket handle) {
    fake::Record("closesocket(" + std::to_string(handle) + ")");
    return fake::winsock.openSockets.erase(handle) == 1 ? 0 : SOCKET_CALL_FAILED;
}

}  // namespace platform
