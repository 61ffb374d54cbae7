#include "platform/linux/wake_on_lan.h"

#include <linux/ethtool.h>
#include <linux/ethtool_netlink.h>
#include <linux/genetlink.h>

#include <cerrno>

#include "platform/linux/netlink.h"

// Wake-on-LAN options through the kernel's ethtool netlink family: reading them needs no
// privilege there (the old ioctl needs CAP_NET_ADMIN even to read).
namespace platform::linux_backend {

namespace {

constexpr std::uint32_t kModeBits = 32;

NetlinkRequest GenericRequest(std::uint16_t family, std::uint16_t flags, std::uint8_t command,
                              std::uint8_t version) {
    genlmsghdr header{};
    header.cmd = command;
    header.version = version;
    return NetlinkRequest(family, flags, header);
}

// The number the kernel gave the ethtool family; 0 when it has none.
int ResolveEthtoolFamily(std::uint16_t* family) {
    NetlinkRequest request = GenericRequest(GENL_ID_CTRL, 0, CTRL_CMD_GETFAMILY, 1);
    request.AddAttribute(CTRL_ATTR_FAMILY_NAME, ETHTOOL_GENL_NAME, sizeof ETHTOOL_GENL_NAME);
    *family = 0;
    const int error = request.Exchange(NETLINK_GENERIC, [family](std::uint16_t, Bytes reply) {
        NetlinkAttributes(reply, GENL_HDRLEN).Read(CTRL_ATTR_FAMILY_ID, family);
    });
    if (error != 0) return error;
    return *family == 0 ? EOPNOTSUPP : 0;
}

void AddDeviceHeader(NetlinkRequest& request, int linkIndex, std::uint32_t flags) {
    const std::size_t header = request.BeginNested(ETHTOOL_A_WOL_HEADER);
    request.AddValue(ETHTOOL_A_HEADER_DEV_INDEX, static_cast<std::uint32_t>(linkIndex));
    if (flags != 0) request.AddValue(ETHTOOL_A_HEADER_FLAGS, flags);
    request.EndNested(header);
}

}  // namespace

int GetWakeOnLan(int linkIndex, WakeOnLan* options) {
    std::uint16_t family = 0;
    if (const int error = ResolveEthtoolFamily(&family); error != 0) return error;
    NetlinkRequest request = GenericRequest(family, 0, ETHTOOL_MSG_WOL_GET, ETHTOOL_GENL_VERSION);
    AddDeviceHeader(request, linkIndex, ETHTOOL_FLAG_COMPACT_BITSETS);
    bool answered = false;
    const int error = request.Exchange(NETLINK_GENERIC, [&](std::uint16_t, Bytes reply) {
        const Bytes modes = NetlinkAttributes(reply, GENL_HDRLEN).Find(ETHTOOL_A_WOL_MODES);
        if (modes.empty()) return;
        const NetlinkAttributes bitset(modes, 0);
        // Compact form: the value holds the enabled modes, the mask the supported ones.
        options->enabled = 0;
        options->supported = 0;
        bitset.Read(ETHTOOL_A_BITSET_VALUE, &options->enabled);
        bitset.Read(ETHTOOL_A_BITSET_MASK, &options->supported);
        answered = true;
    });
    if (error != 0) return error;
    return answered ? 0 : EPROTO;
}

int SetWakeOnLan(int linkIndex, std::uint32_t enabled) {
    std::uint16_t family = 0;
    if (const int error = ResolveEthtoolFamily(&family); error != 0) return error;
    NetlinkRequest request =
        GenericRequest(family, NLM_F_ACK, ETHTOOL_MSG_WOL_SET, ETHTOOL_GENL_VERSION);
    AddDeviceHeader(request, linkIndex, 0);
    const std::size_t modes = request.BeginNested(ETHTOOL_A_WOL_MODES);
    request.AddAttribute(ETHTOOL_A_BITSET_NOMASK, nullptr, 0);
    request.AddValue(ETHTOOL_A_BITSET_SIZE, kModeBits);
    request.AddValue(ETHTOOL_A_BITSET_VALUE, enabled);
    request.EndNested(modes);
    return request.Exchange(NETLINK_GENERIC, [](std::uint16_t, Bytes) {});
}

}  // namespace platform::linux_backend
