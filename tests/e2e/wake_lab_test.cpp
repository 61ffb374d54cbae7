#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "frame_fields.h"
#include "lab.h"
#include "wake_frames.h"
#include "wake_lan.h"

namespace {

const std::string kMac = "00:11:22:33:44:55";
const std::string kMagicToSubnet = "udp to ff:ff:ff:ff:ff:ff 10.88.0.255:34125 ttl 2 magic " + kMac;
const std::string kArpForAwake = "arp request for 10.88.0.2 from 10.88.0.1 to ff:ff:ff:ff:ff:ff";
const std::string kZerosToAwake = "udp to 02:00:00:88:00:02 10.88.0.2:34125 ttl 64 32 zeros";
const std::string kAllThreeLines =
    "Sent a magic packet.\nSent ARP request.\nSent a direct packet.\n";

class WakeLabTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (::geteuid() == 0) lan_ = std::make_unique<WakeLan>("nrw");
    }
    static void TearDownTestSuite() { lan_.reset(); }

    void SetUp() override {
        if (lan_ == nullptr) GTEST_SKIP() << "network namespaces need root";
        lan_->ForgetNeighbours();
    }

    static lab::RunResult Netrise(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {NETRISE_BINARY};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return lan_->lab->RunIn("pc", argv);
    }

    static lab::RunResult SendArp(const std::vector<std::string>& prefix,
                                  const std::string& address) {
        std::vector<std::string> argv = prefix;
        argv.insert(argv.end(), {NETRISE_SEND_ARP_TOOL, address});
        return lan_->lab->RunIn("pc", argv);
    }

    static std::unique_ptr<lab::FrameCapture> CaptureOn(const std::string& host) {
        return std::make_unique<lab::FrameCapture>(lan_->lab->Namespace(host), WakeLan::LINK);
    }

    static std::vector<std::string> SentByPc(lab::FrameCapture& capture) {
        return DescribeFramesFrom(capture.Collect(), WakeLan::PC_MAC, kMac);
    }

    static std::unique_ptr<WakeLan> lan_;
};

std::unique_ptr<WakeLan> WakeLabTest::lan_;

std::vector<std::string> WakeArguments(const std::string& ip) {
    return {"-wake", "-mac", kMac, "-ip", ip, "-subnet", WakeLan::SUBNET_MASK};
}

TEST_F(WakeLabTest, WorkedExampleSendsMagicPacketArpRequestAndDirectPacket) {
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise(WakeArguments(WakeLan::AWAKE_ADDRESS));

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, kAllThreeLines);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(SentByPc(*capture),
              (std::vector<std::string>{kMagicToSubnet, kArpForAwake, kZerosToAwake}));
}

TEST_F(WakeLabTest, MagicPacketFrameByteForByte) {
    auto capture = CaptureOn("awake");
    Netrise(WakeArguments(WakeLan::AWAKE_ADDRESS));

    std::vector<lab::Frame> magic;
    for (const lab::Frame& frame : capture->Collect()) {
        const auto udp = lab::ReadUdp(frame);
        if (udp && udp->destinationPort == 34125 && udp->payload.size() == 102) {
            magic.push_back(frame);
        }
    }
    ASSERT_EQ(magic.size(), 1u);
    const lab::Frame& frame = magic.front();
    const std::vector<std::uint8_t> broadcastMac(6, 0xFF);
    EXPECT_TRUE(std::equal(broadcastMac.begin(), broadcastMac.end(), frame.begin()));
    const auto pcMac = lab::MacBytes(WakeLan::PC_MAC);
    EXPECT_TRUE(std::equal(pcMac.begin(), pcMac.end(), frame.begin() + 6));
    EXPECT_EQ(frame[12], 0x08);
    EXPECT_EQ(frame[13], 0x00);
    EXPECT_EQ(frame[14 + 8], 2) << "hop limit";
    EXPECT_EQ(frame[14 + 9], 17) << "UDP";
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 30, frame.begin() + 34),
              (std::vector<std::uint8_t>{10, 88, 0, 255}));
    EXPECT_EQ(frame[36], 0x85);
    EXPECT_EQ(frame[37], 0x4D);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 42, frame.begin() + 144),
              MagicPacketFor(kMac));
}

TEST_F(WakeLabTest, NetworkAddressGetsMagicPacketOnly) {
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise(WakeArguments(WakeLan::NETWORK_ADDRESS));

    EXPECT_EQ(result.output, "Sent a magic packet.\n");
    EXPECT_EQ(SentByPc(*capture), (std::vector<std::string>{kMagicToSubnet}));
}

TEST_F(WakeLabTest, ComputerNameResolvesThroughTheHostsFile) {
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise({"-wake", "-computer", WakeLan::AWAKE_NAME});

    EXPECT_EQ(result.output,
              "Broadcast NetBIOS lookup.\nSent ARP request.\nSent a direct packet.\n");
    EXPECT_EQ(SentByPc(*capture), (std::vector<std::string>{kArpForAwake, kZerosToAwake}));
}

TEST_F(WakeLabTest, UnknownComputerNameSendsNothing) {
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise({"-wake", "-computer", "nowhere.lab"});

    EXPECT_EQ(result.output, "Broadcast NetBIOS lookup.\n");
    EXPECT_LT(result.elapsed.count(), 1.0);
    EXPECT_EQ(SentByPc(*capture), std::vector<std::string>{});
}

TEST_F(WakeLabTest, SleepingTargetGetsEverythingAndTheCommandReturnsInTime) {
    auto capture = CaptureOn("sleeper");
    const lab::RunResult result = Netrise(WakeArguments(WakeLan::SLEEPER_ADDRESS));

    EXPECT_EQ(result.output, kAllThreeLines);
    EXPECT_LT(result.elapsed.count(), 3.6);
    // The kernel asks three times, a second apart, before it gives up; leaving before that
    // would cut the sleeping computer's chance to answer short.
    EXPECT_GT(result.elapsed.count(), 2.9);
    const std::vector<std::string> seen = SentByPc(*capture);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), kMagicToSubnet), 1);
    const auto arpRequests = std::count(
        seen.begin(), seen.end(), "arp request for 10.88.0.3 from 10.88.0.1 to ff:ff:ff:ff:ff:ff");
    EXPECT_GE(arpRequests, 3);
}

TEST_F(WakeLabTest, KnownNeighbourAnswersWithoutNewArpRequest) {
    Netrise(WakeArguments(WakeLan::AWAKE_ADDRESS));
    auto capture = CaptureOn("pc");
    const lab::RunResult again = Netrise(WakeArguments(WakeLan::AWAKE_ADDRESS));

    EXPECT_EQ(again.output, kAllThreeLines);
    EXPECT_EQ(SentByPc(*capture), (std::vector<std::string>{kMagicToSubnet, kZerosToAwake}));
}

TEST_F(WakeLabTest, StaleNeighbourIsAskedAgainAtOnce) {
    lan_->lab->Shell("pc", std::string("ip neigh replace ") + WakeLan::AWAKE_ADDRESS +
                               " dev eth0 lladdr " + WakeLan::AWAKE_MAC + " nud stale");
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise({"-wake", "-ip", WakeLan::AWAKE_ADDRESS});

    EXPECT_EQ(result.output, "Sent ARP request.\nSent a direct packet.\n");
    EXPECT_LT(result.elapsed.count(), 1.0);
    EXPECT_EQ(SentByPc(*capture), (std::vector<std::string>{kArpForAwake, kZerosToAwake}));
}

TEST_F(WakeLabTest, RefusedSendsPrintTheFailureLines) {
    auto capture = CaptureOn("pc");
    const lab::RunResult result = Netrise(WakeArguments("10.99.0.3"));

    const std::string code = std::to_string(ENETUNREACH);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, "Cannot send magic packet, return code " + code +
                                 "\nSent ARP request.\nCannot send direct packet, return code " +
                                 code + "\n");
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(SentByPc(*capture), std::vector<std::string>{});
}

struct SendArpCase {
    const char* name;
    std::vector<std::string> prefix;  // what the tool runs under
    const char* address;
    std::string expected;
    double atLeastSeconds;
    double belowSeconds;
};

TEST_F(WakeLabTest, SendArpSpeaksTheWindowsContract) {
    lan_->lab->Shell("pc", "ip route add 10.77.0.0/24 via 10.88.0.2");
    const std::vector<std::string> unprivileged = {"setpriv", "--reuid=65534", "--regid=65534",
                                                   "--clear-groups", "--inh-caps=-all"};
    const std::vector<SendArpCase> cases = {
        {"AwakeNeighbour", {}, WakeLan::AWAKE_ADDRESS, "0 6 02:00:00:88:00:02\n", 0, 1},
        {"KnownNeighbour", {}, WakeLan::AWAKE_ADDRESS, "0 6 02:00:00:88:00:02\n", 0, 0.5},
        {"SilentNeighbour",
         {},
         WakeLan::SLEEPER_ADDRESS,
         "67 8 00:00:00:00:00:00:00:00\n",
         2.9,
         3.6},
        {"BeyondARouter", {}, "10.77.0.5", "67 8 00:00:00:00:00:00:00:00\n", 0, 0.5},
        {"NoRoute", {}, "10.99.0.5", "1232 8 00:00:00:00:00:00:00:00\n", 0, 0.5},
        {"NotPrivileged", unprivileged, WakeLan::SLEEPER_ADDRESS, "5 8 00:00:00:00:00:00:00:00\n",
         0, 0.5},
    };
    for (const SendArpCase& arp : cases) {
        SCOPED_TRACE(arp.name);
        const lab::RunResult result = SendArp(arp.prefix, arp.address);
        EXPECT_EQ(result.output, arp.expected) << result.errors;
        EXPECT_GE(result.elapsed.count(), arp.atLeastSeconds);
        EXPECT_LT(result.elapsed.count(), arp.belowSeconds);
    }
    lan_->lab->Shell("pc", "ip route del 10.77.0.0/24");
}

}  // namespace
