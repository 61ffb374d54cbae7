#include <linux/ethtool.h>
#include <linux/ethtool_netlink.h>
#include <linux/genetlink.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/wmi_netlink.h"
#include "platform/linux/wmi_sources.h"

// Wake-on-LAN options through the kernel's ethtool netlink family: reading them needs no
// privilege there (the old ioctl needs CAP_NET_ADMIN even to read).
namespace platform::linux_backend {

namespace {

constexpr std::uint32_t kModeBits = 32;

void AppendGenericHeader(NetlinkRequest& request, std::uint8_t command, std::uint8_t version) {
    genlmsghdr header{};
    header.cmd = command;
    header.version = version;
    request.AppendFixed(&header, sizeof header);
}

std::vector<NetlinkAttribute> GenericAttributes(const nlmsghdr& message) {
    const auto* data = static_cast<const std::uint8_t*>(NLMSG_DATA(&message)) + GENL_HDRLEN;
    if (message.nlmsg_len < NLMSG_LENGTH(GENL_HDRLEN)) return {};
    return ParseAttributes(data, message.nlmsg_len - NLMSG_LENGTH(GENL_HDRLEN));
}

// The number the kernel gave the ethtool family; 0 when it has none.
int ResolveEthtoolFamily(std::uint16_t* family) {
    NetlinkRequest request(GENL_ID_CTRL, NLM_F_REQUEST);
    AppendGenericHeader(request, CTRL_CMD_GETFAMILY, 1);
    request.AddText(CTRL_ATTR_FAMILY_NAME, ETHTOOL_GENL_NAME);
    *family = 0;
    const int error = ExchangeNetlink(NETLINK_GENERIC, request, [family](const nlmsghdr& reply) {
        const auto attributes = GenericAttributes(reply);
        const NetlinkAttribute* id = FindAttribute(attributes, CTRL_ATTR_FAMILY_ID);
        if (id != nullptr && id->length >= sizeof(std::uint16_t)) {
            std::memcpy(family, id->data, sizeof(std::uint16_t));
        }
    });
    if (error != 0) return error;
    return *family == 0 ? EOPNOTSUPP : 0;
}

void AddDeviceHeader(NetlinkRequest& request, int linkIndex, std::uint32_t flags) {
    const std::size_t header = request.BeginNested(ETHTOOL_A_WOL_HEADER);
    request.AddU32(ETHTOOL_A_HEADER_DEV_INDEX, static_cast<std::uint32_t>(linkIndex));
    if (flags != 0) request.AddU32(ETHTOOL_A_HEADER_FLAGS, flags);
    request.EndNested(header);
}

}  // namespace

int GetWakeOnLan(int linkIndex, WakeOnLan* options) {
    std::uint16_t family = 0;
    if (const int error = ResolveEthtoolFamily(&family); error != 0) return error;
    NetlinkRequest request(family, NLM_F_REQUEST);
    AppendGenericHeader(request, ETHTOOL_MSG_WOL_GET, ETHTOOL_GENL_VERSION);
    AddDeviceHeader(request, linkIndex, ETHTOOL_FLAG_COMPACT_BITSETS);
    bool answered = false;
    const int error = ExchangeNetlink(NETLINK_GENERIC, request, [&](const nlmsghdr& reply) {
        const NetlinkAttribute* modes =
            FindAttribute(GenericAttributes(reply), ETHTOOL_A_WOL_MODES);
        if (modes == nullptr) return;
        const auto bitset = ParseAttributes(modes->data, modes->length);
        // Compact form: the value holds the enabled modes, the mask the supported ones.
        options->enabled = AttributeU32(FindAttribute(bitset, ETHTOOL_A_BITSET_VALUE));
        options->supported = AttributeU32(FindAttribute(bitset, ETHTOOL_A_BITSET_MASK));
        answered = true;
    });
    if (error != 0) return error;
    return answered ? 0 : EPROTO;
}

int SetWakeOnLan(int linkIndex, std::uint32_t enabled) {
    std::uint16_t family = 0;
    if (const int error = ResolveEthtoolFamily(&family); error != 0) return error;
    NetlinkRequest request(family, NLM_F_REQUEST | NLM_F_ACK);
    AppendGenericHeader(request, ETHTOOL_MSG_WOL_SET, ETHTOOL_GENL_VERSION);
    AddDeviceHeader(request, linkIndex, 0);
    const std::size_t modes = request.BeginNested(ETHTOOL_A_WOL_MODES);
    request.AddAttribute(ETHTOOL_A_BITSET_NOMASK, nullptr, 0);
    request.AddU32(ETHTOOL_A_BITSET_SIZE, kModeBits);
    request.AddU32(ETHTOOL_A_BITSET_VALUE, enabled);
    request.EndNested(modes);
    return ExchangeNetlink(NETLINK_GENERIC, request, [](const nlmsghdr&) {});
}

}  // namespace platform::linux_backend
