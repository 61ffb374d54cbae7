#include "wake_frames.h"

#include <cstdio>

namespace {

std::string MacInPayload(const std::vector<std::uint8_t>& payload) {
    if (payload.size() < 12) return "";
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", payload[6], payload[7],
                  payload[8], payload[9], payload[10], payload[11]);
    return text;
}

}  // namespace

std::vector<std::uint8_t> MagicPacketFor(const std::string& mac) {
    std::vector<std::uint8_t> packet(6, 0xFF);
    const std::vector<std::uint8_t> address = lab::MacBytes(mac);
    for (int i = 0; i < 16; ++i) packet.insert(packet.end(), address.begin(), address.end());
    return packet;
}

std::string DescribeFrame(const lab::Frame& frame, const std::string& magicMac) {
    if (const auto udp = lab::ReadUdp(frame)) {
        std::string payload = std::to_string(udp->payload.size()) + " bytes";
        const std::string mac = magicMac.empty() ? MacInPayload(udp->payload) : magicMac;
        if (!mac.empty() && udp->payload == MagicPacketFor(mac)) {
            payload = "magic " + mac;
        } else if (udp->payload == std::vector<std::uint8_t>(32, 0)) {
            payload = "32 zeros";
        }
        return "udp to " + udp->ethernet.destination + " " + udp->destinationAddress + ":" +
               std::to_string(udp->destinationPort) + " ttl " + std::to_string(udp->timeToLive) +
               " " + payload;
    }
    if (const auto arp = lab::ReadArp(frame)) {
        return std::string(arp->operation == 1 ? "arp request" : "arp reply") + " for " +
               arp->targetAddress + " from " + arp->senderAddress + " to " +
               arp->ethernet.destination;
    }
    const auto ethernet = lab::ReadEthernet(frame);
    return ethernet ? "ethertype " + std::to_string(ethernet->etherType) : "runt frame";
}

std::vector<std::string> DescribeFramesFrom(const std::vector<lab::Frame>& frames,
                                            const std::string& mac, const std::string& magicMac) {
    std::vector<std::string> described;
    for (const lab::Frame& frame : frames) {
        const auto ethernet = lab::ReadEthernet(frame);
        const auto arp = lab::ReadArp(frame);
        if (ethernet && ethernet->source == mac && !(arp && arp->operation == 2)) {
            described.push_back(DescribeFrame(frame, magicMac));
        }
    }
    return described;
}
