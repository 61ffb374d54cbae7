#include "probe/network_environment.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/console.h"
#include "platform/iphlpapi.h"
#include "platform/kernel.h"
#include "platform/winsock.h"
#include "probe/site_host.h"

namespace {

// Errors the probe detects itself, reported with the platform's numbers for them.
constexpr std::uint32_t kErrorUnexpectedNetworkError = 59;  // ERROR_UNEXP_NET_ERR
constexpr std::uint32_t kErrorAddressNotAvailable = 10049;  // WSAEADDRNOTAVAIL

constexpr std::uint32_t kMacLength = 6;

// The address table lives in a heap buffer of the size the table asks for.
struct FreeDeleter {
    void operator()(void* buffer) const { std::free(buffer); }
};
using AddressTableBuffer = std::unique_ptr<void, FreeDeleter>;

// Replaces `buffer` by one of `*size` bytes and reads the table into it.
std::uint32_t ReadAddressTable(AddressTableBuffer& buffer, std::uint32_t* size) {
    buffer.reset(std::malloc(*size));
    if (buffer == nullptr) return platform::ERROR_NOT_ENOUGH_MEMORY_RESULT;
    return platform::GetIpAddrTable(static_cast<platform::MibIpAddrTable*>(buffer.get()), size,
                                    false);
}

}  // namespace

Ipv4Address NetworkEnvironment::ResolveSite() {
    platform::AddrInfoHints aiHints{};
    aiHints.family = platform::FAMILY_INET;
    platform::AddrInfo* list = nullptr;
    const int result = platform::getaddrinfo(SITE_HOST, nullptr, &aiHints, &list);
    if (result != 0) {
        platform::printf("Cannot determine address for internet target %s, return code %d\n",
                         SITE_HOST, result);
        platform::SetLastError(static_cast<std::uint32_t>(result));
        return IPV4_NONE;
    }
    if (list->family != platform::FAMILY_INET) {
        platform::printf("Cannot determine address for internet target %s, ai_family is %d\n",
                         SITE_HOST, list->family);
        platform::freeaddrinfo(list);
        platform::SetLastError(kErrorAddressNotAvailable);
        return IPV4_NONE;
    }
    const Ipv4Address address = list->address;
    platform::freeaddrinfo(list);
    return address;
}

int NetworkEnvironment::Gather() {
    siteAddress = ResolveSite();
    if (siteAddress == IPV4_NONE) return 0;
    for (auto step : {&NetworkEnvironment::FindInterface, &NetworkEnvironment::FindPrimaryAddress,
                      &NetworkEnvironment::FindNextHop}) {
        const std::uint32_t error = (this->*step)();
        if (error != platform::NO_ERROR_RESULT) {
            platform::SetLastError(error);
            return 0;
        }
    }
    ResolveNextHopMac();
    std::uint32_t nameSize = static_cast<std::uint32_t>(computerName.size());
    platform::GetComputerNameA(computerName.data(), &nameSize);
    return 1;
}

std::uint32_t NetworkEnvironment::FindInterface() {
    std::uint32_t bestIndex = 0;
    const std::uint32_t result = platform::GetBestInterface(siteAddress, &bestIndex);
    if (result != platform::NO_ERROR_RESULT) {
        platform::printf("Cannot determine best iface, return code %d\n", static_cast<int>(result));
        return result;
    }
    interfaceIndex = static_cast<std::int32_t>(bestIndex);

    platform::MibIfRow ifrow{};
    ifrow.dwIndex = bestIndex;
    const std::uint32_t entryResult = platform::GetIfEntry(&ifrow);
    if (entryResult != platform::NO_ERROR_RESULT) {
        platform::printf("Cannot determine iface properties, return code %d\n",
                         static_cast<int>(entryResult));
        return entryResult;
    }
    if (ifrow.dwPhysAddrLen != kMacLength) {
        platform::printf("Unexpected physaddr len: %d\n", static_cast<int>(ifrow.dwPhysAddrLen));
        return kErrorUnexpectedNetworkError;
    }
    std::copy_n(ifrow.bPhysAddr, kMacLength, interfaceMac.begin());
    interfaceMacText = FormatMac(interfaceMac);
    return platform::NO_ERROR_RESULT;
}

std::uint32_t NetworkEnvironment::FindPrimaryAddress() {
    AddressTableBuffer buffer;
    std::uint32_t ulSize = 4;
    std::uint32_t result = ReadAddressTable(buffer, &ulSize);
    if (result == platform::ERROR_INSUFFICIENT_BUFFER_RESULT) {
        result = ReadAddressTable(buffer, &ulSize);
    }
    if (result != platform::NO_ERROR_RESULT) {
        platform::printf("Cannot get ip address table, return code %d\n", static_cast<int>(result));
        return result;
    }
    const auto* table = static_cast<const platform::MibIpAddrTable*>(buffer.get());
    const platform::MibIpAddrRow* rows = table->table;
    const platform::MibIpAddrRow* end = rows + table->dwNumEntries;
    const platform::MibIpAddrRow* primary =
        std::find_if(rows, end, [this](const platform::MibIpAddrRow& row) {
            return row.dwIndex == static_cast<std::uint32_t>(interfaceIndex) &&
                   (row.wType & platform::MIB_IPADDR_PRIMARY_BIT) != 0;
        });
    if (primary == end) {
        platform::printf("Got %d addresses but can't find IP for our iface\n",
                         static_cast<int>(table->dwNumEntries));
        return kErrorUnexpectedNetworkError;
    }
    localAddress = primary->dwAddr;
    localMask = primary->dwMask;
    return platform::NO_ERROR_RESULT;
}

std::uint32_t NetworkEnvironment::FindNextHop() {
    platform::MibIpForwardRow ipfr{};
    const std::uint32_t result = platform::GetBestRoute(siteAddress, 0, &ipfr);
    if (result != platform::NO_ERROR_RESULT) {
        platform::printf("Cannot get best route, return code %d\n", static_cast<int>(result));
        return result;
    }
    nextHop = ipfr.dwForwardNextHop;
    return platform::NO_ERROR_RESULT;
}

// A next hop that does not answer is reported with a zero hardware address: the rest of the
// report is still what the cloud needs.
void NetworkEnvironment::ResolveNextHopMac() {
    std::uint8_t bMac[8] = {};
    std::uint32_t dwSize = sizeof bMac;
    const std::uint32_t result = platform::SendARP(nextHop, 0, bMac, &dwSize);
    if (result != platform::NO_ERROR_RESULT) {
        platform::printf("Cannot get next hop MAC, return code %d\n", static_cast<int>(result));
        std::fill(std::begin(bMac), std::end(bMac), std::uint8_t{0});
    }
    std::copy_n(bMac, nextHopMac.size(), nextHopMac.begin());
    nextHopMacText = FormatMac(nextHopMac);
}

// Each address is printed before the next one is converted: the dotted text lives in storage
// that the next conversion overwrites.
void NetworkEnvironment::Print() const {
    platform::printf("  Our computer name ....................%s\n", computerName.data());
    platform::printf("  Internet site ....................... %s\n", SITE_HOST);
    platform::printf("  Internet site address ............... %s\n",
                     platform::inet_ntoa(siteAddress));
    platform::printf("  Interface used to access site ....... %d\n", interfaceIndex);
    platform::printf("*     MAC address for interface ....... %s\n", interfaceMacText.data());
    platform::printf("*     Local IP address on interface ... %s\n",
                     platform::inet_ntoa(localAddress));
    platform::printf("*     Local subnet mask on interface .. %s\n",
                     platform::inet_ntoa(localMask));
    platform::printf("* Next hop to site .................... %s\n", platform::inet_ntoa(nextHop));
    platform::printf("*     MAC address for next hop ........ %s\n", nextHopMacText.data());
    platform::printf("\n");
    platform::printf("The asterisk indicates fields that must be sent to the cloud for WoL.\n");
    platform::printf("\n");
}
