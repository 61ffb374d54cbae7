#include "frame_fields.h"

#include <cstdio>

namespace lab {

namespace {

constexpr std::size_t kEthernetLength = 14;

std::uint16_t Read16(const Frame& frame, std::size_t offset) {
    return static_cast<std::uint16_t>((frame[offset] << 8) | frame[offset + 1]);
}

std::string MacText(const Frame& frame, std::size_t offset) {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", frame[offset],
                  frame[offset + 1], frame[offset + 2], frame[offset + 3], frame[offset + 4],
                  frame[offset + 5]);
    return text;
}

std::string Ipv4Text(const Frame& frame, std::size_t offset) {
    return std::to_string(frame[offset]) + "." + std::to_string(frame[offset + 1]) + "." +
           std::to_string(frame[offset + 2]) + "." + std::to_string(frame[offset + 3]);
}

}  // namespace

std::optional<EthernetHeader> ReadEthernet(const Frame& frame) {
    if (frame.size() < kEthernetLength) return std::nullopt;
    return EthernetHeader{MacText(frame, 0), MacText(frame, 6), Read16(frame, 12)};
}

std::optional<UdpFrame> ReadUdp(const Frame& frame) {
    const auto ethernet = ReadEthernet(frame);
    if (!ethernet || ethernet->etherType != ETHER_TYPE_IPV4) return std::nullopt;
    const std::size_t ip = kEthernetLength;
    if (frame.size() < ip + 20 || (frame[ip] >> 4) != 4 || frame[ip + 9] != 17) return std::nullopt;
    const bool fragmented = (Read16(frame, ip + 6) & 0x3FFF) != 0;
    const std::size_t udp = ip + static_cast<std::size_t>(frame[ip] & 0x0F) * 4;
    if (fragmented || frame.size() < udp + 8) return std::nullopt;
    const std::size_t udpLength = Read16(frame, udp + 4);
    if (udpLength < 8 || frame.size() < udp + udpLength) return std::nullopt;

    UdpFrame datagram;
    datagram.ethernet = *ethernet;
    datagram.timeToLive = frame[ip + 8];
    datagram.sourceAddress = Ipv4Text(frame, ip + 12);
    datagram.destinationAddress = Ipv4Text(frame, ip + 16);
    datagram.sourcePort = Read16(frame, udp);
    datagram.destinationPort = Read16(frame, udp + 2);
    datagram.payload.assign(frame.begin() + static_cast<std::ptrdiff_t>(udp + 8),
                            frame.begin() + static_cast<std::ptrdiff_t>(udp + udpLength));
    return datagram;
}

std::optional<ArpFrame> ReadArp(const Frame& frame) {
    const auto ethernet = ReadEthernet(frame);
    if (!ethernet || ethernet->etherType != ETHER_TYPE_ARP) return std::nullopt;
    const std::size_t arp = kEthernetLength;
    const bool ipv4OverEthernet = frame.size() >= arp + 28 && Read16(frame, arp) == 1 &&
                                  Read16(frame, arp + 2) == ETHER_TYPE_IPV4 &&
                                  frame[arp + 4] == 6 && frame[arp + 5] == 4;
    if (!ipv4OverEthernet) return std::nullopt;
    return ArpFrame{*ethernet,
                    Read16(frame, arp + 6),
                    MacText(frame, arp + 8),
                    Ipv4Text(frame, arp + 14),
                    MacText(frame, arp + 18),
                    Ipv4Text(frame, arp + 24)};
}

}  // namespace lab
