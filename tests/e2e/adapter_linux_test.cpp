#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lab.h"
#include "sysfs_tree.h"

namespace {

constexpr const char* kMac = "02:00:00:79:01:0b";
const std::string kControl = "devices/pci0000:00/0000:00:05.0/power/control";

// The Linux program inside a lab host whose veth link "eth0" stands on a PCI device of a sysfs
// tree the test makes: the tree is bind-mounted over /sys in a mount namespace of the run's own,
// so the links still come from the kernel (rtnetlink) and the wake options from the real
// ethtool interface, which has none for a veth.
class AdapterLinuxTest : public testing::Test {
  protected:
    AdapterLinuxTest() : lab_("nrae") {
        lab_.AddHost("pc");
        lab_.AddHost("peer");
        lab_.AddVeth("pc", "eth0", "10.79.1.1/24", "peer", "eth0", "10.79.1.2/24", kMac);
        tree_.AddDevice("eth0", "pci", "pci0000:00/0000:00:05.0", {{"power/control", "on\n"}});
    }

    // `runAs` is empty for root or a setpriv prefix for an unprivileged user.
    lab::RunResult RunWithTree(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& runAs = {}) {
        std::vector<std::string> argv = {"unshare",
                                         "-m",
                                         "sh",
                                         "-c",
                                         "mount --bind \"$0\" /sys && exec \"$@\"",
                                         tree_.Root().string()};
        argv.insert(argv.end(), runAs.begin(), runAs.end());
        argv.push_back(NETRISE_BINARY);
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return lab_.RunIn("pc", argv);
    }

    static std::string Output(const std::string& mac, const std::string& outcome) {
        return "You specified adapter MAC " + mac + "\n\n" + outcome + "\n\n";
    }

    lab::Lab lab_;
    SysfsTree tree_;
};

TEST_F(AdapterLinuxTest, VethWithoutDeviceCannotBeQueried) {
    const lab::RunResult result = lab_.RunIn("pc", {NETRISE_BINARY, "-query", "-mac", kMac});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, Output(kMac, "The adapter COULD NOT be queried."));
}

// The adapter is found by its MAC in any letter case; runtime power management is switched on,
// then the wake setting, which the veth does not have, fails the update.
TEST_F(AdapterLinuxTest, SetWritesFirstSettingThenFailsOnWakeOptions) {
    const lab::RunResult result = RunWithTree({"-set", "-mac", "02:00:00:79:01:0B"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output, Output("02:00:00:79:01:0B", "The adapter COULD NOT be updated."));
    EXPECT_EQ(tree_.Read(kControl), "auto");
}

TEST_F(AdapterLinuxTest, UnprivilegedSetIsRefused) {
    const lab::RunResult result = RunWithTree(
        {"-set", "-mac", kMac}, {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output, Output(kMac, "The adapter COULD NOT be updated."));
    EXPECT_EQ(tree_.Read(kControl), "on\n");
}

}  // namespace
