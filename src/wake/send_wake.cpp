#include "wake/send_wake.h"

#include <array>

#include "platform/console.h"
#include "platform/iphlpapi.h"
#include "wake/computer_lookup.h"
#include "wake/ipv4_text.h"
#include "wake/magic_packet.h"
#include "wake/send_datagram.h"

namespace {

constexpr std::size_t DIRECT_PACKET_LENGTH = 32;

// Sends one wake datagram and says how it went; `kind` names the packet in the line printed.
void SendPacket(const char* kind, Ipv4Address address, bool broadcast, const void* data,
                std::size_t length) {
    const DatagramOutcome outcome =
        SendDatagram(address, broadcast, data, static_cast<int>(length));
    if (outcome.accepted) {
        platform::printf("Sent a %s packet.\n", kind);
    } else {
        platform::printf("Cannot send %s packet, return code %d\n", kind, outcome.error);
    }
}

// A sleeping computer does not answer, so the request is made for the traffic it causes and its
// outcome is of no interest.
void SendArpRequest(Ipv4Address target) {
    std::array<std::uint8_t, 8> mac{};
    std::uint32_t length = static_cast<std::uint32_t>(mac.size());
    platform::SendARP(target, 0, mac.data(), &length);
    platform::printf("Sent ARP request.\n");
}

}  // namespace

void SendWake(WideText mac, WideText ip, WideText subnet, WideText computer) {
    Ipv4Address mask = ParseIpv4Text(subnet);
    Ipv4Address target = ParseIpv4Text(ip);
    const Ipv4Address broadcast = ~mask | target;

    if (!mac.empty() && mask != IPV4_NONE && target != IPV4_NONE && mac.size() == MAC_TEXT_LENGTH) {
        const MagicPacket packet = BuildMagicPacket(ParseMacText(mac));
        SendPacket("magic", broadcast, true, packet.data(), packet.size());
    }
    if (!computer.empty()) LookUpComputer(computer, target, mask);

    if (target == IPV4_NONE) return;
    const bool isNetworkAddress = mask != IPV4_NONE && (target & ~mask) == 0;
    if (isNetworkAddress) return;

    SendArpRequest(target);
    const std::array<std::uint8_t, DIRECT_PACKET_LENGTH> directPacket{};
    SendPacket("direct", target, false, directPacket.data(), directPacket.size());
}
