#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/iphlpapi.h"
#include "platform/linux/netlink.h"
#include "platform/linux/netlink_notifications.h"
#include "platform/linux/windows_error_numbers.h"

// The kernel resolves neighbours itself; this asks it to, through its neighbour table, and waits
// for the outcome as the Windows call does.
namespace platform {

namespace {

using linux_backend::Bytes;
using linux_backend::NetlinkAttributes;
using linux_backend::NetlinkNotifications;
using linux_backend::NetlinkRequest;
using linux_backend::ReadFamilyHeader;

using Clock = std::chrono::steady_clock;

// The kernel gives up on a silent neighbour after three requests a second apart; the wait ends a
// little later so that its verdict is seen, and ends there when the kernel is set to wait longer.
constexpr auto kGiveUpAfter = std::chrono::milliseconds(3500);
// Notifications wake the wait at once; this only bounds a wait in which one was missed.
constexpr auto kLongestQuietWait = std::chrono::milliseconds(100);

constexpr std::uint16_t kAnswersAtOnce = NUD_REACHABLE | NUD_PERMANENT | NUD_NOARP;

struct Route {
    int error = 0;
    int interfaceIndex = 0;
    bool viaGateway = false;
    std::uint8_t type = RTN_UNSPEC;
};

struct Neighbour {
    bool known = false;
    std::uint16_t state = NUD_NONE;
    std::vector<std::uint8_t> hardwareAddress;
};

// A request that the kernel acknowledges, so that one that changes something also has an end.
template <class FamilyHeader>
NetlinkRequest Request(std::uint16_t type, std::uint16_t flags, const FamilyHeader& header) {
    return NetlinkRequest(type, static_cast<std::uint16_t>(NLM_F_ACK | flags), header);
}

int Exchange(const NetlinkRequest& request,
             const std::function<void(std::uint16_t type, Bytes payload)>& onReply) {
    return request.Exchange(NETLINK_ROUTE, onReply);
}

Route FindRoute(Ipv4Address destination, Ipv4Address source) {
    rtmsg query{};
    query.rtm_family = AF_INET;
    query.rtm_dst_len = 32;
    query.rtm_src_len = source != 0 ? 32 : 0;
    NetlinkRequest request = Request(RTM_GETROUTE, 0, query);
    request.AddAttribute(RTA_DST, &destination, sizeof destination);
    if (source != 0) request.AddAttribute(RTA_SRC, &source, sizeof source);
    Route route;
    route.error = Exchange(request, [&route](std::uint16_t type, Bytes reply) {
        rtmsg header{};
        if (type != RTM_NEWROUTE || !ReadFamilyHeader(reply, &header)) return;
        const NetlinkAttributes attributes(reply, sizeof header);
        route.type = header.rtm_type;
        route.viaGateway = !attributes.Find(RTA_GATEWAY).empty();
        std::uint32_t interfaceIndex = 0;
        attributes.Read(RTA_OIF, &interfaceIndex);
        route.interfaceIndex = static_cast<int>(interfaceIndex);
    });
    return route;
}

ndmsg NeighbourHeader(int interfaceIndex) {
    ndmsg header{};
    header.ndm_family = AF_INET;
    header.ndm_ifindex = interfaceIndex;
    return header;
}

// Fills `neighbour`; an address the table does not hold is not an error.
int QueryNeighbour(int interfaceIndex, Ipv4Address destination, Neighbour& neighbour) {
    NetlinkRequest request = Request(RTM_GETNEIGH, 0, NeighbourHeader(interfaceIndex));
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    neighbour = {};
    const int error = Exchange(request, [&neighbour](std::uint16_t type, Bytes reply) {
        ndmsg header{};
        if (type != RTM_NEWNEIGH || !ReadFamilyHeader(reply, &header)) return;
        neighbour.known = true;
        neighbour.state = header.ndm_state;
        const Bytes address = NetlinkAttributes(reply, sizeof header).Find(NDA_LLADDR);
        neighbour.hardwareAddress.assign(address.begin(), address.end());
    });
    return error == ENOENT ? 0 : error;
}

int ForgetNeighbour(int interfaceIndex, Ipv4Address destination) {
    NetlinkRequest request = Request(RTM_DELNEIGH, 0, NeighbourHeader(interfaceIndex));
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    const int error = Exchange(request, [](std::uint16_t, Bytes) {});
    return error == ENOENT ? 0 : error;
}

// Asks the kernel to resolve the neighbour as if traffic were waiting for it: the kernel sends
// its own ARP requests and nothing else goes out.
int StartResolving(int interfaceIndex, Ipv4Address destination) {
    ndmsg header = NeighbourHeader(interfaceIndex);
    header.ndm_flags = NTF_USE;
    NetlinkRequest request = Request(RTM_NEWNEIGH, NLM_F_CREATE, header);
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    return Exchange(request, [](std::uint16_t, Bytes) {});
}

bool Answers(const Neighbour& neighbour) {
    return neighbour.known && (neighbour.state & kAnswersAtOnce) != 0 &&
           !neighbour.hardwareAddress.empty();
}

std::uint32_t Deliver(const Neighbour& neighbour, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    const std::size_t length = neighbour.hardwareAddress.size();
    if (length > *physicalAddressLength) return linux_backend::WINDOWS_ERROR_BUFFER_OVERFLOW;
    std::memcpy(macAddress, neighbour.hardwareAddress.data(), length);
    *physicalAddressLength = static_cast<std::uint32_t>(length);
    return NO_ERROR_RESULT;
}

// Waits until the neighbour answers, the kernel declares it failed, or the time is up. A
// neighbour still being asked (incomplete, probed) is waited for, never given up on early.
std::uint32_t AwaitResolution(NetlinkNotifications& changes, int interfaceIndex,
                              Ipv4Address destination, void* macAddress,
                              std::uint32_t* physicalAddressLength) {
    const Clock::time_point giveUp = Clock::now() + kGiveUpAfter;
    Neighbour neighbour;
    for (;;) {
        const int error = QueryNeighbour(interfaceIndex, destination, neighbour);
        if (error != 0) return linux_backend::WindowsSystemError(error);
        if (Answers(neighbour)) return Deliver(neighbour, macAddress, physicalAddressLength);
        // A link without ARP (no hardware addresses) leaves nothing to wait for.
        if (neighbour.known && (neighbour.state & (NUD_FAILED | NUD_NOARP)) != 0) {
            return ERROR_BAD_NET_NAME_RESULT;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
        if (left.count() <= 0) return ERROR_BAD_NET_NAME_RESULT;
        changes.Await(static_cast<int>(std::min(left, kLongestQuietWait).count()) + 1);
    }
}

}  // namespace

std::uint32_t SendARP(Ipv4Address destination, Ipv4Address source, void* macAddress,
                      std::uint32_t* physicalAddressLength) {
    if (macAddress == nullptr || physicalAddressLength == nullptr) {
        return linux_backend::WINDOWS_ERROR_INVALID_PARAMETER;
    }
    // Listening starts before the resolution does, so that no change is missed.
    NetlinkNotifications changes(RTMGRP_NEIGH);

    const Route route = FindRoute(destination, source);
    if (route.error != 0) return linux_backend::WindowsSystemError(route.error);
    // Only a neighbour on a directly attached network can answer an ARP request.
    if (route.type != RTN_UNICAST || route.viaGateway) return ERROR_BAD_NET_NAME_RESULT;

    Neighbour neighbour;
    int error = QueryNeighbour(route.interfaceIndex, destination, neighbour);
    if (error != 0) return linux_backend::WindowsSystemError(error);
    if (Answers(neighbour)) return Deliver(neighbour, macAddress, physicalAddressLength);
    // An entry that is stale, being confirmed or failed would make the kernel wait seconds before
    // asking again; a fresh entry is asked for at once.
    if (neighbour.known && neighbour.state != NUD_INCOMPLETE) {
        error = ForgetNeighbour(route.interfaceIndex, destination);
        if (error != 0) return linux_backend::WindowsSystemError(error);
    }
    error = StartResolving(route.interfaceIndex, destination);
    if (error != 0) return linux_backend::WindowsSystemError(error);
    return AwaitResolution(changes, route.interfaceIndex, destination, macAddress,
                           physicalAddressLength);
}

}  // namespace platform
