#include "platform/linux/netlink_notifications.h"

#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::linux_backend {

NetlinkNotifications::NetlinkNotifications(std::uint32_t groups) {
    descriptor_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (descriptor_ < 0) return;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (::bind(descriptor_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

NetlinkNotifications::~NetlinkNotifications() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

void NetlinkNotifications::Await(int timeoutMilliseconds) {
    pollfd waiting{descriptor_, POLLIN, 0};
    if (::poll(&waiting, descriptor_ >= 0 ? 1 : 0, timeoutMilliseconds) <= 0) return;
    char discarded[8192];
    while (::recv(descriptor_, discarded, sizeof discarded, MSG_DONTWAIT) > 0) {
    }
}

}  // namespace platform::linux_backend
