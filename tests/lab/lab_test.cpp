#include "lab.h"
#include "wine.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
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

// The id of a process that has ended, as a run that died before cleaning up leaves behind.
pid_t EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST_F(LabTest, RemovesLeftoversOfEndedRunsButNotLabsStillInUse) {
    const std::string leftover = "nrl-" + std::to_string(EndedProcessId()) + "-a";
    lab::RunChecked({"ip", "netns", "add", leftover});
    std::filesystem::create_directories("/etc/netns/" + leftover);

    auto first = std::make_unique<lab::Lab>("nrl");
    EXPECT_FALSE(NamespaceExists(leftover));
    EXPECT_FALSE(std::filesystem::exists("/etc/netns/" + leftover));

    first->AddHost("a");
    const std::string inUse = first->Namespace("a");
    ASSERT_TRUE(NamespaceExists(inUse));
    ASSERT_TRUE(std::filesystem::exists("/etc/netns/" + inUse + "/hosts"));
    lab::Lab second("nrl");
    EXPECT_TRUE(NamespaceExists(inUse)) << "a lab still in use must survive";

    first.reset();
    EXPECT_FALSE(NamespaceExists(inUse));
    EXPECT_FALSE(std::filesystem::exists("/etc/netns/" + inUse));
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
