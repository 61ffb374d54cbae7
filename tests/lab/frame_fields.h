#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The fields of captured Ethernet frames that the end-to-end tests check, read straight from the
// bytes on the wire. Addresses are given as text ("10.0.0.1", "aa:bb:cc:dd:ee:ff").
namespace lab {

using Frame = std::vector<std::uint8_t>;

struct EthernetHeader {
    std::string destination;
    std::string source;
    std::uint16_t etherType = 0;
};

struct UdpFrame {
    EthernetHeader ethernet;
    std::uint8_t timeToLive = 0;
    std::string sourceAddress;
    std::string destinationAddress;
    std::uint16_t sourcePort = 0;
    std::uint16_t destinationPort = 0;
    std::vector<std::uint8_t> payload;
};

struct ArpFrame {
    EthernetHeader ethernet;
    std::uint16_t operation = 0;  // 1 request, 2 reply
    std::string senderMac;
    std::string senderAddress;
    std::string targetMac;
    std::string targetAddress;
};

inline constexpr std::uint16_t ETHER_TYPE_IPV4 = 0x0800;
inline constexpr std::uint16_t ETHER_TYPE_ARP = 0x0806;

std::optional<EthernetHeader> ReadEthernet(const Frame& frame);

// An IPv4 UDP datagram in one unfragmented frame, with a payload as long as its UDP length says.
std::optional<UdpFrame> ReadUdp(const Frame& frame);

// An ARP packet for IPv4 over Ethernet.
std::optional<ArpFrame> ReadArp(const Frame& frame);

}  // namespace lab
