#include "wake/send_wake.h"

#include <gtest/gtest.h>

#include "call_log.h"
#include "case_name.h"
#include "fake_console.h"
#include "fake_iphlpapi.h"
#include "fake_winsock.h"
#include "platform/winsock.h"
#include "reset.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kNetworkUnreachable = 10051;
constexpr int kNoBufferSpace = 10055;

// A datagram in a few words: what it holds, where it went, and how the socket was set.
std::string Describe(const fake::Datagram& datagram) {
    std::string text;
    const auto& bytes = datagram.bytes;
    if (bytes.size() == 102 &&
        std::all_of(bytes.begin(), bytes.begin() + 6, [](std::uint8_t b) { return b == 0xFF; })) {
        text = "magic";
        for (std::size_t i = 6; i < 12; ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%s%02x", i == 6 ? " " : ":", bytes[i]);
            text += pair;
        }
        if (!std::equal(bytes.begin() + 12, bytes.end(), bytes.begin() + 6)) text += " broken";
    } else if (bytes.size() == 32 &&
               std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; })) {
        text = "zeros";
    } else {
        text = std::to_string(bytes.size()) + " bytes";
    }
    text += std::string(" to ") + platform::inet_ntoa(datagram.address) + ":" +
            std::to_string(datagram.port);
    if (datagram.broadcast) text += " broadcast";
    if (!datagram.accepted) text += " refused";
    return text;
}

// The wake traffic in the order it was made: lookups, ARP requests and datagrams.
std::vector<std::string> Traffic() {
    std::vector<std::string> traffic;
    std::size_t datagram = 0;
    for (const std::string& call : fake::calls) {
        if (call.starts_with("getaddrinfo(") || call.starts_with("SendARP(")) {
            traffic.push_back(call);
        } else if (call.starts_with("sendto(") && datagram < fake::winsock.sent.size()) {
            traffic.push_back(Describe(fake::winsock.sent[datagram++]));
        }
    }
    return traffic;
}

struct WakeCase {
    const char* name;
    std::u16string mac;
    std::u16string ip;
    std::u16string subnet;
    std::u16string computer;
    std::vector<std::string> expectedTraffic;
    std::string expectedConsole;
    std::map<std::string, fake::Resolution> names = {};
    std::deque<bool> socketSucceeds = {};
    std::deque<bool> sendtoSucceeds = {};
    int lastError = 0;  // what the sockets layer reports after a refusal
};

class SendWakeTest : public testing::TestWithParam<WakeCase> {
  protected:
    void SetUp() override {
        fake::Reset();
        fake::winsock.names = GetParam().names;
        fake::winsock.socketSucceeds = GetParam().socketSucceeds;
        fake::winsock.sendtoSucceeds = GetParam().sendtoSucceeds;
        fake::winsock.lastError = GetParam().lastError;
    }
};

TEST_P(SendWakeTest, SendsWhatTheInputsAllowInOrder) {
    const WakeCase& wake = GetParam();
    SendWake(wake.mac, wake.ip, wake.subnet, wake.computer);

    EXPECT_EQ(Traffic(), wake.expectedTraffic);
    EXPECT_EQ(fake::console, wake.expectedConsole);
    EXPECT_TRUE(fake::winsock.openSockets.empty()) << "every socket is closed again";
    EXPECT_EQ(fake::winsock.openAddressLists, 0) << "every lookup result is freed";
}

const std::u16string kMac = u"00:11:22:33:44:55";
const std::u16string kIp = u"192.168.1.20";
const std::u16string kMask = u"255.255.255.0";

const std::string kMagic = "magic 00:11:22:33:44:55 to 192.168.1.255:34125 broadcast";
const std::string kArp = "SendARP(192.168.1.20, 0.0.0.0, 8)";
const std::string kDirect = "zeros to 192.168.1.20:34125";

const std::string kSentMagic = "Sent a magic packet.\n";
const std::string kSentArp = "Sent ARP request.\n";
const std::string kSentDirect = "Sent a direct packet.\n";
const std::string kLookedUp = "Broadcast NetBIOS lookup.\n";

const std::string kLookUpPc = "getaddrinfo(pc, family 2)";
const std::map<std::string, fake::Resolution> kPcIs10007 = {{"pc", {0, 2, 0x0700000A}}};
const std::map<std::string, fake::Resolution> kPcIs10000 = {{"pc", {0, 2, 0x0000000A}}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Wake, SendWakeTest, testing::Values(
    WakeCase{"NothingGivenSendsNothing", u"", u"", u"", u"", {}, ""},
    WakeCase{"WorkedExample", kMac, kIp, kMask, u"",
        {kMagic, kArp, kDirect}, kSentMagic + kSentArp + kSentDirect},
    WakeCase{"NetworkAddressGetsMagicPacketOnly", kMac, u"192.168.1.0", kMask, u"",
        {kMagic}, kSentMagic},
    WakeCase{"MaskZeroBroadcastsToAllOnes", kMac, kIp, u"0.0.0.0", u"",
        {"magic 00:11:22:33:44:55 to 255.255.255.255:34125 broadcast", kArp, kDirect},
        kSentMagic + kSentArp + kSentDirect},
    WakeCase{"MaskAllOnesIsNoMask", kMac, kIp, u"255.255.255.255", u"",
        {kArp, kDirect}, kSentArp + kSentDirect},
    WakeCase{"MaskNotDottedIsNoMask", kMac, kIp, u"/24", u"",
        {kArp, kDirect}, kSentArp + kSentDirect},
    WakeCase{"BroadcastTargetGetsDirectPacketWithoutBroadcastSetting", kMac, u"192.168.1.255", kMask, u"",
        {kMagic, "SendARP(192.168.1.255, 0.0.0.0, 8)", "zeros to 192.168.1.255:34125"},
        kSentMagic + kSentArp + kSentDirect},
    WakeCase{"DashSeparatedMac", u"00-11-22-33-44-55", kIp, kMask, u"",
        {kMagic, kArp, kDirect}, kSentMagic + kSentArp + kSentDirect},
    WakeCase{"TwelveDigitMacSendsNoMagicPacket", u"001122334455", kIp, kMask, u"",
        {kArp, kDirect}, kSentArp + kSentDirect},
    WakeCase{"EighteenCharacterMacSendsNoMagicPacket", u"00:11:22:33:44:55:", kIp, kMask, u"",
        {kArp, kDirect}, kSentArp + kSentDirect},
    WakeCase{"ZeroGPairIsZero", u"0G:11:22:33:44:55", kIp, kMask, u"",
        {kMagic, kArp, kDirect}, kSentMagic + kSentArp + kSentDirect},
    WakeCase{"MalformedPairsCountAsZero", u"zz:1x:y2:33:\uFF14\uFF14:55", kIp, kMask, u"",
        {"magic 00:10:02:33:00:55 to 192.168.1.255:34125 broadcast", kArp, kDirect},
        kSentMagic + kSentArp + kSentDirect},
    WakeCase{"MacAndMaskWithoutIpSendNothing", kMac, u"", kMask, u"", {}, ""},
    WakeCase{"IpAloneGetsArpAndDirectPacket", u"", kIp, u"", u"",
        {kArp, kDirect}, kSentArp + kSentDirect},
    WakeCase{"AllOnesIpIsNoAddress", kMac, u"255.255.255.255", kMask, u"", {}, ""},
    WakeCase{"IpWithCharacterAbove255IsNoAddress", kMac, u"192.168.1.\u0132", kMask, u"", {}, ""},
    WakeCase{"ComputerAloneResolves", u"", u"", u"", u"pc",
        {kLookUpPc, "SendARP(10.0.0.7, 0.0.0.0, 8)", "zeros to 10.0.0.7:34125"},
        kLookedUp + kSentArp + kSentDirect, kPcIs10007},
    WakeCase{"GivenIpIsNotReplacedByLookup", u"", u"10.0.0.8", u"", u"pc",
        {kLookUpPc, "SendARP(10.0.0.8, 0.0.0.0, 8)", "zeros to 10.0.0.8:34125"},
        kLookedUp + kSentArp + kSentDirect, kPcIs10007},
    WakeCase{"IpNotDottedFallsBackToLookup", kMac, u"pc", kMask, u"pc",
        {kLookUpPc, "SendARP(10.0.0.7, 0.0.0.0, 8)", "zeros to 10.0.0.7:34125"},
        kLookedUp + kSentArp + kSentDirect, kPcIs10007},
    WakeCase{"ResolvedAddressDropsMask", kMac, u"", kMask, u"pc",
        {kLookUpPc, "SendARP(10.0.0.0, 0.0.0.0, 8)", "zeros to 10.0.0.0:34125"},
        kLookedUp + kSentArp + kSentDirect, kPcIs10000},
    WakeCase{"NameThatDoesNotResolve", u"", u"", u"", u"pc", {kLookUpPc}, kLookedUp},
    WakeCase{"NameResolvingToOtherFamilyIsNotUsed", u"", u"", u"", u"pc", {kLookUpPc}, kLookedUp,
        {{"pc", {0, platform::FAMILY_INET6, 0}}}},
    WakeCase{"NameWithLatinCharacterIsLookedUpByteForByte", u"", u"", u"", u"caf\u00E9",
        {"getaddrinfo(caf\xE9, family 2)", "SendARP(10.0.0.7, 0.0.0.0, 8)", "zeros to 10.0.0.7:34125"},
        kLookedUp + kSentArp + kSentDirect, {{"caf\xE9", {0, 2, 0x0700000A}}}},
    WakeCase{"NameWithCharacterAbove255IsNotLookedUp", kMac, kIp, kMask, u"pc\u0100",
        {kMagic, kArp, kDirect}, kSentMagic + kSentArp + kSentDirect, kPcIs10007},
    WakeCase{"MagicPacketWithoutSocket", kMac, kIp, kMask, u"",
        {kArp, kDirect},
        "Cannot send magic packet, return code 10055\n" + kSentArp + kSentDirect, {}, {false}, {}, kNoBufferSpace},
    WakeCase{"MagicPacketRefused", kMac, kIp, kMask, u"",
        {kMagic + " refused", kArp, kDirect},
        "Cannot send magic packet, return code 10051\n" + kSentArp + kSentDirect, {}, {}, {false}, kNetworkUnreachable},
    WakeCase{"DirectPacketWithoutSocket", kMac, kIp, kMask, u"",
        {kMagic, kArp},
        kSentMagic + kSentArp + "Cannot send direct packet, return code 10055\n", {}, {true, false}, {}, kNoBufferSpace},
    WakeCase{"DirectPacketRefused", kMac, kIp, kMask, u"",
        {kMagic, kArp, kDirect + " refused"},
        kSentMagic + kSentArp + "Cannot send direct packet, return code 10051\n", {}, {}, {true, false}, kNetworkUnreachable},
    WakeCase{"BothRefused", kMac, kIp, kMask, u"",
        {kMagic + " refused", kArp, kDirect + " refused"},
        "Cannot send magic packet, return code 10051\n" + kSentArp +
        "Cannot send direct packet, return code 10051\n", {}, {}, {false, false}, kNetworkUnreachable}),
    CaseName());
// clang-format on

TEST(SendWakeBytesTest, WorkedExampleMagicPacketByteForByte) {
    fake::Reset();
    SendWake(u"00:11:22:33:44:55", u"192.168.1.20", u"255.255.255.0", u"");

    ASSERT_FALSE(fake::winsock.sent.empty());
    std::vector<std::uint8_t> expected(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    EXPECT_EQ(fake::winsock.sent.front().bytes, expected);
}

TEST(SendWakeArpTest, ArpResultDoesNotChangeTheSequence) {
    fake::Reset();
    fake::iphlpapi.arpReplies[0x1401A8C0] = {0, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}};
    SendWake(u"", u"192.168.1.20", u"", u"");
    EXPECT_EQ(fake::console, "Sent ARP request.\nSent a direct packet.\n");
}

}  // namespace
