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
#include "platform/linux/netlink_notifications.h"
#include "platform/linux/windows_error_numbers.h"
#include "platform/linux/wmi_netlink.h"

// The kernel resolves neighbours itself; this asks it to, through its neighbour table, and waits
// for the outcome as the Windows call does.
namespace platform {

namespace {

using linux_backend::NetlinkAttribute;
using linux_backend::NetlinkNotifications;
using linux_backend::NetlinkRequest;

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
template <class FixedPart>
NetlinkRequest Request(std::uint16_t type, std::uint16_t flags, const FixedPart& fixed) {
    NetlinkRequest request(type, static_cast<std::uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags));
    request.AppendFixed(&fixed, sizeof fixed);
    return request;
}

int Exchange(const NetlinkRequest& request,
             const std::function<void(const nlmsghdr& message)>& onReply) {
    return linux_backend::ExchangeNetlink(NETLINK_ROUTE, request, onReply);
}

// The attributes that follow a reply's fixed part; none when the reply is too short for it.
template <class FixedPart>
std::vector<NetlinkAttribute> AttributesOf(const nlmsghdr& message) {
    if (message.nlmsg_len < NLMSG_LENGTH(sizeof(FixedPart))) return {};
    const auto* start =
        static_cast<const std::uint8_t*>(NLMSG_DATA(&message)) + NLMSG_ALIGN(sizeof(FixedPart));
    return linux_backend::ParseAttributes(start,
                                          message.nlmsg_len - NLMSG_LENGTH(sizeof(FixedPart)));
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
    route.error = Exchange(request, [&route](const nlmsghdr& reply) {
        if (reply.nlmsg_type != RTM_NEWROUTE || reply.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) {
            return;
        }
        const std::vector<NetlinkAttribute> attributes = AttributesOf<rtmsg>(reply);
        route.type = static_cast<const rtmsg*>(NLMSG_DATA(&reply))->rtm_type;
        route.viaGateway = linux_backend::FindAttribute(attributes, RTA_GATEWAY) != nullptr;
        route.interfaceIndex = static_cast<int>(
            linux_backend::AttributeU32(linux_backend::FindAttribute(attributes, RTA_OIF)));
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
    const int error = Exchange(request, [&neighbour](const nlmsghdr& reply) {
        if (reply.nlmsg_type != RTM_NEWNEIGH || reply.nlmsg_len < NLMSG_LENGTH(sizeof(ndmsg))) {
            return;
        }
        neighbour.known = true;
        neighbour.state = static_cast<const ndmsg*>(NLMSG_DATA(&reply))->ndm_state;
        const std::vector<NetlinkAttribute> attributes = AttributesOf<ndmsg>(reply);
        if (const NetlinkAttribute* address =
                linux_backend::FindAttribute(attributes, NDA_LLADDR)) {
            neighbour.hardwareAddress.assign(address->data, address->data + address->length);
        }
    });
    return error == ENOENT ? 0 : error;
}

int ForgetNeighbour(int interfaceIndex, Ipv4Address destination) {
    NetlinkRequest request = Request(RTM_DELNEIGH, 0, NeighbourHeader(interfaceIndex));
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    const int error = Exchange(request, [](const nlmsghdr&) {});
    return error == ENOENT ? 0 : error;
}

// Asks the kernel to resolve the neighbour as if traffic were waiting for it: the kernel sends
// its own ARP requests and nothing else goes out.
int StartResolving(int interfaceIndex, Ipv4Address destination) {
    ndmsg header = NeighbourHeader(interfaceIndex);
    header.ndm_flags = NTF_USE;
    NetlinkRequest request = Request(RTM_NEWNEIGH, NLM_F_CREATE, header);
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    return Exchange(request, [](const nlmsghdr&) {});
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
