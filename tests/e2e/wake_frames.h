#pragma once

#include <string>
#include <vector>

#include "frame_fields.h"
#include "lab.h"

// Captured wake traffic in a few words each, so that a test can compare a whole sequence.
std::vector<std::uint8_t> MagicPacketFor(const std::string& mac);

// "udp to <mac> <address>:<port> ttl <n> <magic MAC|32 zeros|N bytes>", "arp request for
// <address> from <address> to <mac>", "arp reply ...", or the frame's EtherType. A payload is a
// magic packet only for `magicMac`; with `magicMac` empty, for the MAC that its bytes 6 to 11 hold.
std::string DescribeFrame(const lab::Frame& frame, const std::string& magicMac);

// The frames whose Ethernet source is `mac`, described, apart from ARP replies: those answer the
// other hosts' own requests (a target replying to the wake traffic, say, asks the sender's
// address in its own time) and are no part of what the sender was told to send.
std::vector<std::string> DescribeFramesFrom(const std::vector<lab::Frame>& frames,
                                            const std::string& mac, const std::string& magicMac);
