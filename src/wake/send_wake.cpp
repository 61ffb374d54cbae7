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

void SendMagicPacket(WideText mac, Ipv4Address broadcast) {
    const MagicPacket packet = BuildMagicPacket(ParseMacText(mac));
    const DatagramOutcome outcome =
        SendDatagram(broadcast, true, packet.data(), static_cast<int>(packet.size()));
    if (outcome.accepted) {
        platform::printf("Sent a magic packet.\n");
    } else {
        platform::printf("Cannot send magic packet, return code %d\n", outcome.error);
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

void SendDirectPacket(Ipv4Address target) {
    const std::array<std::uint8_t, DIRECT_PACKET_LENGTH> packet{};
    const DatagramOutcome outcome =
        SendDatagram(target, false, packet.data(), static_cast<int>(packet.size()));
    if (outcome.accepted) {
        platform::printf("Sent a direct packet.\n");
    } else {
        platform::printf("Cannot send direct packet, return code %d\n", outcome.error);
    }
}

}  // namespace

void SendWake(WideText mac, WideText ip, WideText subnet, WideText computer) {
    Ipv4Address mask = ParseIpv4Text(subnet);
    Ipv4Address target = ParseIpv4Text(ip);
    const Ipv4Address broadcast = ~mask | target;

    if (!mac.empty() && mask != IPV4_NONE && target != IPV4_NONE && mac.size() == MAC_TEXT_LENGTH) {
        SendMagicPacket(mac, broadcast);
    }
    if (!computer.empty()) LookUpComputer(computer, target, mask);

    if (target == IPV4_NONE) return;
    const bool isNetworkAddress = mask != IPV4_NONE && (target & ~mask) == 0;
    if (isNetworkAddress) return;

    SendArpRequest(target);
    SendDirectPacket(target);
}
