#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lab.h"
#include "wake_frames.h"
#include "wake_lan.h"
#include "wine.h"

namespace {

const std::string kMac = "00:11:22:33:44:55";

TEST(WakeWineTest, SendsTheSameTrafficAsTheLinuxBuild) {
    if (::geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
    const WakeLan lan("nrwx");
    const lab::WineRunner wine(*lan.lab, "pc");
    lab::FrameCapture capture(lan.lab->Namespace("pc"), WakeLan::LINK);

    const lab::RunResult result = wine.Run(
        NETRISE_EXE,
        {"-wake", "-mac", kMac, "-ip", WakeLan::AWAKE_ADDRESS, "-subnet", WakeLan::SUBNET_MASK});

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output,
              "Sent a magic packet.\r\nSent ARP request.\r\nSent a direct packet.\r\n");
    // Wine's SendARP sends nothing; the ARP request is the kernel's, for the direct packet.
    EXPECT_EQ(
        DescribeFramesFrom(capture.Collect(), WakeLan::PC_MAC, kMac),
        (std::vector<std::string>{"udp to ff:ff:ff:ff:ff:ff 10.88.0.255:34125 ttl 2 magic " + kMac,
                                  "arp request for 10.88.0.2 from 10.88.0.1 to ff:ff:ff:ff:ff:ff",
                                  "udp to 02:00:00:88:00:02 10.88.0.2:34125 ttl 64 32 zeros"}));
}

}  // namespace

// Without Wine there is nothing to test: the test reports itself skipped (exit status 77).
int main(int argc, char** argv) {
    if (!lab::WineAvailable()) {
        std::puts("SKIPPED: wine is not installed");
        return 77;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
