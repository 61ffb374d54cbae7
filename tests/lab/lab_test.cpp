#include "lab.h"
#include "wine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

class LabTest : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
    }
};

bool NamespaceExists(const std::string& name) {
    return std::filesystem::exists("/var/run/netns/" + name);
}

TEST_F(LabTest, RemovesItsNamespacesAndFilesAndLeftoversOfEarlierRuns) {
    auto first = std::make_unique<lab::Lab>("nrl");
    first->AddHost("a");
    ASSERT_TRUE(NamespaceExists("nrl-a"));
    ASSERT_TRUE(std::filesystem::exists("/etc/netns/nrl-a/hosts"));

    lab::Lab second("nrl");  // as after a run that died before cleaning up
    EXPECT_FALSE(NamespaceExists("nrl-a"));
    EXPECT_FALSE(std::filesystem::exists("/etc/netns/nrl-a"));

    second.AddHost("b");
    first.reset();
    EXPECT_TRUE(NamespaceExists("nrl-b")) << "another lab's host must survive";
}

TEST_F(LabTest, NamesResolveOnlyFromTheHostsFile) {
    lab::Lab lab("nrl");
    lab.AddHost("a", {{"target.lab", "10.77.0.7"}});

    const lab::RunResult known = lab.RunIn("a", {"getent", "hosts", "target.lab"});
    EXPECT_EQ(known.status, 0);
    EXPECT_NE(known.output.find("10.77.0.7"), std::string::npos);

    const lab::RunResult unknown = lab.RunIn("a", {"getent", "hosts", "missing.lab"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_LT(unknown.elapsed.count(), 1.0) << "the lookup must not wait for DNS";
}

TEST_F(LabTest, CapturesFramesCrossingABridgedLan) {
    lab::Lab lab("nrl");
    lab.AddHost("lan");
    lab.AddHost("a");
    lab.AddHost("b");
    lab.AddBridge("lan", "br0");
    lab.ConnectToBridge("a", "eth0", "10.77.0.1/24", "02:00:00:77:00:01", "lan", "br0");
    lab.ConnectToBridge("b", "eth0", "10.77.0.2/24", "02:00:00:77:00:02", "lan", "br0");
    EXPECT_EQ(lab.MacOf("b", "eth0"), "02:00:00:77:00:02");

    lab::FrameCapture capture(lab.Namespace("b"), "eth0");
    lab.Shell("a", "printf hi > /dev/udp/10.77.0.2/9");
    const auto frames = capture.Collect();

    const auto fromA = lab::MacBytes("02:00:00:77:00:01");
    const bool sawUdp = std::any_of(frames.begin(), frames.end(), [&](const auto& frame) {
        return frame.size() >= 44 && std::equal(fromA.begin(), fromA.end(), frame.begin() + 6) &&
               frame[12] == 0x08 && frame[13] == 0x00 && frame[23] == 17 && frame[42] == 'h' &&
               frame[43] == 'i';
    });
    EXPECT_TRUE(sawUdp) << frames.size() << " frames captured";
}

TEST_F(LabTest, WineRunsInsideAHostWithAPrefixOfItsOwn) {
    if (!lab::WineAvailable()) GTEST_SKIP() << "wine is not installed";
    lab::Lab lab("nrl");
    lab.AddHost("a");
    lab.AddHost("b");
    lab.AddVeth("a", "eth0", "10.77.1.1/24", "b", "eth0", "10.77.1.2/24", "02:00:00:77:01:01");
    lab::WineRunner wine(lab, "a");

    const lab::RunResult result = wine.Run("cmd", {"/c", "ipconfig", "/all"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_NE(result.output.find("02-00-00-77-01-01"), std::string::npos) << result.output;
}

}  // namespace
