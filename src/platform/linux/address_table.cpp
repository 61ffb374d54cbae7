#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <vector>

#include "platform/iphlpapi.h"
#include "platform/linux/netlink.h"
#include "platform/linux/windows_error_numbers.h"

namespace platform {

namespace {

// What Windows reports in the two fields the kernel has no counterpart for: the host part of
// the broadcast address is all ones, and the largest datagram reassembled.
constexpr std::uint32_t kBroadcastHostAllOnes = 1;
constexpr std::uint32_t kReassemblySize = 0xFFFF;

Ipv4Address MaskOfPrefix(unsigned prefixLength) {
    return htonl(prefixLength == 0 ? 0 : ~std::uint32_t{0} << (32 - prefixLength));
}

// Turns one RTM_NEWADDR into a row; false for a message that is not an IPv4 address.
bool ReadAddressRow(linux_backend::Bytes payload, MibIpAddrRow* row) {
    ifaddrmsg header{};
    if (!linux_backend::ReadFamilyHeader(payload, &header) || header.ifa_family != AF_INET) {
        return false;
    }
    const linux_backend::NetlinkAttributes attributes(payload, sizeof header);
    // IFA_LOCAL is this end; on a point-to-point link IFA_ADDRESS is the peer.
    if (!attributes.Read(IFA_LOCAL, &row->dwAddr) && !attributes.Read(IFA_ADDRESS, &row->dwAddr)) {
        return false;
    }
    std::uint32_t flags = header.ifa_flags;
    attributes.Read(IFA_FLAGS, &flags);
    row->dwIndex = header.ifa_index;
    row->dwMask = MaskOfPrefix(header.ifa_prefixlen);
    row->dwBCastAddr = kBroadcastHostAllOnes;
    row->dwReasmSize = kReassemblySize;
    row->wType = (flags & IFA_F_SECONDARY) != 0 ? 0 : MIB_IPADDR_PRIMARY_BIT;
    return true;
}

}  // namespace

std::uint32_t GetIpAddrTable(MibIpAddrTable* table, std::uint32_t* size, bool sorted) {
    if (size == nullptr) return ERROR_INVALID_PARAMETER_RESULT;
    ifaddrmsg header{};
    header.ifa_family = AF_INET;
    const linux_backend::NetlinkRequest request(RTM_GETADDR, NLM_F_DUMP, header);

    std::vector<MibIpAddrRow> rows;
    const int error =
        request.Exchange(NETLINK_ROUTE, [&](std::uint16_t type, linux_backend::Bytes payload) {
            MibIpAddrRow row;
            if (type == RTM_NEWADDR && ReadAddressRow(payload, &row)) rows.push_back(row);
        });
    if (error != 0) return linux_backend::WindowsSystemError(error);
    if (sorted) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const MibIpAddrRow& a, const MibIpAddrRow& b) {
                             return ntohl(a.dwAddr) < ntohl(b.dwAddr);
                         });
    }

    const std::uint32_t needed = IpAddrTableSize(static_cast<std::uint32_t>(rows.size()));
    if (*size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER_RESULT;
    }
    if (table == nullptr) return ERROR_INVALID_PARAMETER_RESULT;
    table->dwNumEntries = static_cast<std::uint32_t>(rows.size());
    std::copy(rows.begin(), rows.end(), table->table);
    return NO_ERROR_RESULT;
}

}  // namespace platform
