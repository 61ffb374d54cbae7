#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "platform/linux/wmi_netlink.h"
#include "platform/linux/wmi_sources.h"

namespace platform::linux_backend {

std::vector<Link> ListLinks() {
    NetlinkRequest request(RTM_GETLINK, NLM_F_REQUEST | NLM_F_DUMP);
    ifinfomsg all{};
    all.ifi_family = AF_UNSPEC;
    request.AppendFixed(&all, sizeof all);

    std::vector<Link> links;
    const int error = ExchangeNetlink(NETLINK_ROUTE, request, [&links](const nlmsghdr& message) {
        if (message.nlmsg_type != RTM_NEWLINK ||
            message.nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg))) {
            return;
        }
        const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(&message));
        Link link;
        link.index = info->ifi_index;
        link.hardwareType = info->ifi_type;
        const auto* attributes =
            reinterpret_cast<const std::uint8_t*>(info) + NLMSG_ALIGN(sizeof(ifinfomsg));
        const std::size_t length = message.nlmsg_len - NLMSG_LENGTH(sizeof(ifinfomsg));
        for (const NetlinkAttribute& attribute : ParseAttributes(attributes, length)) {
            if (attribute.type == IFLA_IFNAME) {
                link.name.assign(
                    reinterpret_cast<const char*>(attribute.data),
                    strnlen(reinterpret_cast<const char*>(attribute.data), attribute.length));
            } else if (attribute.type == IFLA_ADDRESS) {
                link.address.assign(attribute.data, attribute.data + attribute.length);
            }
        }
        links.push_back(std::move(link));
    });
    if (error != 0) return {};
    std::sort(links.begin(), links.end(),
              [](const Link& left, const Link& right) { return left.index < right.index; });
    return links;
}

}  // namespace platform::linux_backend
