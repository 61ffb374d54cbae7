#include <gtest/gtest.h>

#include <filesystem>
#include <map>
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

// Every file of the tree with its contents, to see that a refused write changed nothing.
std::map<std::string, std::string> FilesOf(const SysfsTree& tree) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Root())) {
        if (!entry.is_regular_file()) continue;
        const std::string relative = entry.path().lexically_relative(tree.Root()).string();
        files[relative] = tree.Read(relative);
    }
    return files;
}

struct WriteCase {
    const char* name;
    std::vector<std::string> arguments;
    bool privileged;
    const char* controlBefore;
    const char* controlAfter;  // null: no file of the tree may change
};

// The first setting is the one a write reaches on a veth: root changes it (and the last of many
// -set and -clear words decides how), an unprivileged user is refused and changes nothing.
TEST_F(AdapterLinuxTest, WritesOfTheFirstSettingNeedPrivilege) {
    const std::vector<std::string> nobody = {"setpriv", "--reuid=65534", "--regid=65534",
                                             "--clear-groups"};
    std::vector<std::string> manySetThenClear;
    std::vector<std::string> manyClearThenSet;
    for (int i = 0; i < 500; ++i) {
        manySetThenClear.insert(manySetThenClear.end(), {"-set", "-clear"});
        manyClearThenSet.insert(manyClearThenSet.end(), {"-clear", "-set"});
    }
    manySetThenClear.insert(manySetThenClear.end(), {"-mac", kMac});
    manyClearThenSet.insert(manyClearThenSet.end(), {"-mac", kMac});
    const std::vector<WriteCase> cases = {
        {"UnprivilegedSet", {"-set", "-mac", kMac}, false, "on\n", nullptr},
        {"UnprivilegedClear", {"-clear", "-mac", kMac}, false, "auto\n", nullptr},
        {"Clear", {"-clear", "-mac", kMac}, true, "auto\n", "on"},
        {"LastOfManyIsClear", manySetThenClear, true, "auto\n", "on"},
        {"LastOfManyIsSet", manyClearThenSet, true, "on\n", "auto"},
    };
    for (const WriteCase& write : cases) {
        SCOPED_TRACE(write.name);
        tree_.Write(kControl, write.controlBefore);
        const auto before = FilesOf(tree_);

        const lab::RunResult result =
            RunWithTree(write.arguments, write.privileged ? std::vector<std::string>{} : nobody);

        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(result.output, Output(kMac, "The adapter COULD NOT be updated."));
        if (write.controlAfter == nullptr) {
            EXPECT_EQ(FilesOf(tree_), before);
        } else {
            EXPECT_EQ(tree_.Read(kControl), write.controlAfter);
        }
    }
}

}  // namespace
