#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include "platform/iphlpapi.h"
#include "platform/linux/netlink.h"
#include "platform/linux/windows_error_numbers.h"

namespace platform {

namespace {

struct RouteAnswer {
    std::uint32_t interfaceIndex = 0;
    Ipv4Address nextHop = 0;
};

// Asks the kernel which route it would take to `destination`, as `ip route get` does. A route
// without a gateway reaches the destination directly, which Windows reports as a next hop
// equal to the destination.
std::uint32_t LookUpRoute(Ipv4Address destination, RouteAnswer* answer) {
    rtmsg header{};
    header.rtm_family = AF_INET;
    header.rtm_dst_len = 32;
    linux_backend::NetlinkRequest request(RTM_GETROUTE, 0, header);
    request.AddAttribute(RTA_DST, &destination, sizeof destination);

    bool answered = false;
    const int error =
        request.Exchange(NETLINK_ROUTE, [&](std::uint16_t type, linux_backend::Bytes payload) {
            if (type != RTM_NEWROUTE) return;
            const linux_backend::NetlinkAttributes attributes(payload, sizeof(rtmsg));
            std::uint32_t interfaceIndex = 0;
            if (!attributes.Read(RTA_OIF, &interfaceIndex)) return;
            Ipv4Address gateway = 0;
            answer->interfaceIndex = interfaceIndex;
            answer->nextHop = attributes.Read(RTA_GATEWAY, &gateway) ? gateway : destination;
            answered = true;
        });
    if (error != 0) return linux_backend::WindowsSystemError(error);
    return answered ? NO_ERROR_RESULT : linux_backend::WindowsSystemError(ENETUNREACH);
}

}  // namespace

std::uint32_t GetBestInterface(Ipv4Address destination, std::uint32_t* bestIfIndex) {
    if (bestIfIndex == nullptr) return ERROR_INVALID_PARAMETER_RESULT;
    RouteAnswer answer;
    const std::uint32_t result = LookUpRoute(destination, &answer);
    if (result == NO_ERROR_RESULT) *bestIfIndex = answer.interfaceIndex;
    return result;
}

std::uint32_t GetBestRoute(Ipv4Address destination, Ipv4Address, MibIpForwardRow* route) {
    if (route == nullptr) return ERROR_INVALID_PARAMETER_RESULT;
    RouteAnswer answer;
    const std::uint32_t result = LookUpRoute(destination, &answer);
    if (result == NO_ERROR_RESULT) {
        route->dwForwardNextHop = answer.nextHop;
        route->dwForwardIfIndex = answer.interfaceIndex;
    }
    return result;
}

}  // namespace platform
