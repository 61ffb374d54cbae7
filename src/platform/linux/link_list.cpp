#include "platform/linux/link_list.h"

#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>

#include "platform/linux/netlink.h"

namespace platform::linux_backend {

std::vector<Link> ListLinks() {
    ifinfomsg all{};
    all.ifi_family = AF_UNSPEC;
    const NetlinkRequest request(RTM_GETLINK, NLM_F_DUMP, all);

    std::vector<Link> links;
    const int error = request.Exchange(NETLINK_ROUTE, [&links](std::uint16_t type, Bytes payload) {
        ifinfomsg info{};
        if (type != RTM_NEWLINK || !ReadFamilyHeader(payload, &info)) return;
        Link link;
        link.index = info.ifi_index;
        link.hardwareType = info.ifi_type;
        const NetlinkAttributes attributes(payload, sizeof info);
        const Bytes name = attributes.Find(IFLA_IFNAME);
        link.name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
        const Bytes address = attributes.Find(IFLA_ADDRESS);
        link.address.assign(address.begin(), address.end());
        links.push_back(std::move(link));
    });
    if (error != 0) return {};
    std::sort(links.begin(), links.end(),
              [](const Link& left, const Link& right) { return left.index < right.index; });
    return links;
}

}  // namespace platform::linux_backend
