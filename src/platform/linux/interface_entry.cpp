#include <linux/rtnetlink.h>
#include <net/if_arp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "platform/iphlpapi.h"
#include "platform/linux/netlink.h"
#include "platform/linux/windows_error_numbers.h"

namespace platform {

namespace {

// Links whose address is not a hardware address a neighbour could use: Windows reports none.
bool HasNoHardwareAddress(unsigned short linkType) {
    return linkType == ARPHRD_LOOPBACK || linkType == ARPHRD_NONE;
}

}  // namespace

std::uint32_t GetIfEntry(MibIfRow* row) {
    if (row == nullptr) return ERROR_INVALID_PARAMETER_RESULT;
    ifinfomsg header{};
    header.ifi_family = AF_UNSPEC;
    header.ifi_index = static_cast<int>(row->dwIndex);
    const linux_backend::NetlinkRequest request(RTM_GETLINK, 0, header);

    bool answered = false;
    const int error =
        request.Exchange(NETLINK_ROUTE, [&](std::uint16_t type, linux_backend::Bytes payload) {
            ifinfomsg link{};
            if (type != RTM_NEWLINK || !linux_backend::ReadFamilyHeader(payload, &link)) return;
            answered = true;
            const linux_backend::NetlinkAttributes attributes(payload, sizeof link);
            const linux_backend::Bytes address = attributes.Find(IFLA_ADDRESS);
            const std::size_t length = HasNoHardwareAddress(link.ifi_type)
                                           ? 0
                                           : std::min(address.size(), sizeof row->bPhysAddr);
            row->dwPhysAddrLen = static_cast<std::uint32_t>(length);
            std::copy_n(address.begin(), length, row->bPhysAddr);
        });
    if (error != 0) return linux_backend::WindowsSystemError(error);
    return answered ? NO_ERROR_RESULT : linux_backend::WindowsSystemError(ENODEV);
}

}  // namespace platform
