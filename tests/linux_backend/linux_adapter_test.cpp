#include <linux/ethtool.h>
#include <net/if_arp.h>
#include <sched.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "adapter/adapter_command.h"
#include "adapter/adapter_wake_settings.h"
#include "case_name.h"
#include "platform/linux/wmi_repository.h"
#include "platform/linux/wmi_sources.h"
#include "sysfs_tree.h"

namespace {

using platform::linux_backend::CurrentWmiSources;
using platform::linux_backend::Link;
using platform::linux_backend::WakeOnLan;
using platform::linux_backend::WmiSources;

constexpr WideText kEthernetMac = u"52:54:00:AB:CD:EF";
constexpr WideText kUsbMac = u"02:00:00:00:00:03";
constexpr WideText kVethMac = u"0A:00:00:00:00:04";
constexpr std::uint32_t kMagicPhy = WAKE_MAGIC | WAKE_PHY;
constexpr int kEthernetIndex = 2;
constexpr int kUsbIndex = 3;

const std::string kEthernetControl = "devices/pci0000:00/0000:00:03.0/power/control";
const std::string kEthernetWakeup = "devices/pci0000:00/0000:00:03.0/power/wakeup";

// The NICs' wake-on-LAN options as a kernel would keep them: a change is recorded and, unless
// refused, becomes what the next read returns.
struct ScriptedWakeOnLan {
    std::map<int, WakeOnLan> nics;
    int getError = 0;
    int setError = 0;
    std::vector<std::pair<int, std::uint32_t>> changes;

    int Get(int index, WakeOnLan* options) const {
        if (getError != 0) return getError;
        const auto found = nics.find(index);
        if (found == nics.end()) return EOPNOTSUPP;
        *options = found->second;
        return 0;
    }

    int Set(int index, std::uint32_t enabled) {
        changes.emplace_back(index, enabled);
        if (setError != 0) return setError;
        const auto found = nics.find(index);
        if (found == nics.end()) return EOPNOTSUPP;
        if ((enabled & ~found->second.supported) != 0) return EINVAL;
        found->second.enabled = enabled;
        return 0;
    }
};

// Five links: lo; eth0 on a PCI device with both power switches; usb0 on a USB device without
// a wakeup switch and with runtime power management off; veth0 and tun0 without a device.
class LinuxAdapterTest : public testing::Test {
  protected:
    void SetUp() override {
        tree_.AddDevice("eth0", "pci", "pci0000:00/0000:00:03.0",
                        {{"power/control", "auto\n"}, {"power/wakeup", "enabled\n"}});
        tree_.AddDevice("usb0", "usb", "pci0000:00/0000:00:14.0/usb1/1-1",
                        {{"power/control", "on\n"}});
        wakeOnLan_.nics = {{kEthernetIndex, {kMagicPhy | WAKE_UCAST, WAKE_MAGIC}},
                           {kUsbIndex, {WAKE_MAGIC, WAKE_MAGIC}}};
        WmiSources& sources = CurrentWmiSources();
        sources.sysfsRoot = tree_.Root().string();
        sources.listLinks = [] {
            return std::vector<Link>{
                {1, "lo", ARPHRD_LOOPBACK, {0, 0, 0, 0, 0, 0}},
                {kEthernetIndex, "eth0", ARPHRD_ETHER, {0x52, 0x54, 0, 0xAB, 0xCD, 0xEF}},
                {kUsbIndex, "usb0", ARPHRD_ETHER, {2, 0, 0, 0, 0, 3}},
                {4, "veth0", ARPHRD_ETHER, {0x0A, 0, 0, 0, 0, 4}},
                {5, "tun0", ARPHRD_NONE, {}}};
        };
        sources.getWakeOnLan = [this](int index, WakeOnLan* options) {
            return wakeOnLan_.Get(index, options);
        };
        sources.setWakeOnLan = [this](int index, std::uint32_t enabled) {
            return wakeOnLan_.Set(index, enabled);
        };
    }

    void TearDown() override { CurrentWmiSources() = WmiSources{}; }

    SysfsTree tree_;
    ScriptedWakeOnLan wakeOnLan_;
};

struct AdapterRow {
    std::optional<std::u16string> mac;
    std::int32_t index;
    std::int32_t type;
    std::u16string pnpDeviceId;
};

TEST_F(LinuxAdapterTest, ListsEveryLinkInIndexOrder) {
    const std::vector<AdapterRow> expected = {
        {u"00:00:00:00:00:00", 1, 3, u"ROOT\\NET\\0001"},
        {u"52:54:00:AB:CD:EF", 2, 0, u"PCI\\0000:00:03.0"},
        {u"02:00:00:00:00:03", 3, 0, u"USB\\1-1"},
        {u"0A:00:00:00:00:04", 4, 0, u"ROOT\\NET\\0004"},
        {std::nullopt, 5, 3, u"ROOT\\NET\\0005"},
    };
    std::vector<platform::linux_backend::WmiInstance> instances;
    ASSERT_EQ(
        platform::linux_backend::ListInstances(u"ROOT\\CIMV2", u"Win32_NetworkAdapter", &instances),
        0);
    ASSERT_EQ(instances.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        auto& properties = instances[i].properties;
        const auto* mac = platform::linux_backend::FindProperty(properties, u"MACAddress");
        if (expected[i].mac) {
            EXPECT_EQ(mac->type, platform::VariantType::Text);
            EXPECT_EQ(mac->text, *expected[i].mac);
        } else {
            EXPECT_EQ(mac->type, platform::VariantType::Null);
        }
        EXPECT_EQ(platform::linux_backend::FindProperty(properties, u"Index")->int32,
                  expected[i].index);
        EXPECT_EQ(platform::linux_backend::FindProperty(properties, u"AdapterTypeID")->int32,
                  expected[i].type);
        EXPECT_EQ(platform::linux_backend::FindProperty(properties, u"PNPDeviceID")->text,
                  expected[i].pnpDeviceId);
    }
}

struct LinuxQueryCase {
    const char* name;
    std::u16string mac;
    void (*edit)(SysfsTree& tree, ScriptedWakeOnLan& wakeOnLan);
    int result;
    std::int32_t powerManagementEnabled;
    std::int32_t wakeEnabled;
    std::int32_t wakeRestricted;
};

class LinuxQueryTest : public LinuxAdapterTest,
                       public testing::WithParamInterface<LinuxQueryCase> {};

TEST_P(LinuxQueryTest, ReadsThreeSettings) {
    const LinuxQueryCase& c = GetParam();
    c.edit(tree_, wakeOnLan_);
    AdapterWakeSettings settings;

    EXPECT_EQ(settings.Query(c.mac), c.result);

    EXPECT_EQ(settings.powerManagementEnabled, c.powerManagementEnabled);
    EXPECT_EQ(settings.wakeEnabled, c.wakeEnabled);
    EXPECT_EQ(settings.wakeRestricted, c.wakeRestricted);
    EXPECT_TRUE(wakeOnLan_.changes.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(LinuxQuery, LinuxQueryTest, testing::Values(
    LinuxQueryCase{"AllOn", std::u16string(kEthernetMac), [](SysfsTree&, ScriptedWakeOnLan&) {},
                   1, -1, -1, -1},
    LinuxQueryCase{"MacLetterCaseIgnored", u"52:54:00:ab:cd:ef",
                   [](SysfsTree&, ScriptedWakeOnLan&) {}, 1, -1, -1, -1},
    LinuxQueryCase{"RuntimePowerManagementOff", std::u16string(kEthernetMac),
                   [](SysfsTree& tree, ScriptedWakeOnLan&) { tree.Write(kEthernetControl, "on\n"); },
                   1, 0, -1, -1},
    LinuxQueryCase{"WakeupSwitchDisabled", std::u16string(kEthernetMac),
                   [](SysfsTree& tree, ScriptedWakeOnLan&) {
                       tree.Write(kEthernetWakeup, "disabled\n");
                   }, 1, -1, 0, -1},
    LinuxQueryCase{"MoreThanMagicPacket", std::u16string(kEthernetMac),
                   [](SysfsTree&, ScriptedWakeOnLan& wol) { wol.nics[kEthernetIndex].enabled = kMagicPhy; },
                   1, -1, -1, 0},
    LinuxQueryCase{"WakeOptionsOff", std::u16string(kEthernetMac),
                   [](SysfsTree&, ScriptedWakeOnLan& wol) { wol.nics[kEthernetIndex].enabled = 0; },
                   1, -1, 0, 0},
    LinuxQueryCase{"UsbWithoutWakeupSwitch", std::u16string(kUsbMac),
                   [](SysfsTree&, ScriptedWakeOnLan&) {}, 1, 0, -1, -1},
    LinuxQueryCase{"NicWithoutWakeOnLan", std::u16string(kEthernetMac),
                   [](SysfsTree&, ScriptedWakeOnLan& wol) { wol.nics.erase(kEthernetIndex); },
                   0, -1, 0, 0},
    LinuxQueryCase{"WakeOptionsUnreadable", std::u16string(kEthernetMac),
                   [](SysfsTree&, ScriptedWakeOnLan& wol) { wol.getError = EPERM; }, 0, -1, 0, 0},
    LinuxQueryCase{"NicWithoutMagicPacket", std::u16string(kEthernetMac),
                   [](SysfsTree&, ScriptedWakeOnLan& wol) {
                       wol.nics[kEthernetIndex] = {WAKE_PHY, WAKE_PHY};
                   }, 0, -1, -1, 0},
    LinuxQueryCase{"LinkWithoutDevice", std::u16string(kVethMac),
                   [](SysfsTree&, ScriptedWakeOnLan&) {}, 0, 0, 0, 0}),
    CaseName());
// clang-format on

struct LinuxUpdateCase {
    const char* name;
    void (*edit)(SysfsTree& tree, ScriptedWakeOnLan& wakeOnLan);
    int enable;
    int result;
    std::string control;
    std::string wakeup;
    std::vector<std::uint32_t> changes;  // of eth0's wake options, in order
};

class LinuxUpdateTest : public LinuxAdapterTest,
                        public testing::WithParamInterface<LinuxUpdateCase> {};

TEST_P(LinuxUpdateTest, WritesSysfsAndWakeOptions) {
    const LinuxUpdateCase& c = GetParam();
    c.edit(tree_, wakeOnLan_);
    AdapterWakeSettings settings;

    EXPECT_EQ(settings.Update(kEthernetMac, c.enable), c.result);

    EXPECT_EQ(tree_.Read(kEthernetControl), c.control);
    EXPECT_EQ(tree_.Read(kEthernetWakeup), c.wakeup);
    std::vector<std::uint32_t> changes;
    for (const auto& [index, enabled] : wakeOnLan_.changes) {
        EXPECT_EQ(index, kEthernetIndex);
        changes.push_back(enabled);
    }
    EXPECT_EQ(changes, c.changes);
}

void AllOff(SysfsTree& tree, ScriptedWakeOnLan& wakeOnLan) {
    tree.Write(kEthernetControl, "on\n");
    tree.Write(kEthernetWakeup, "disabled\n");
    wakeOnLan.nics[kEthernetIndex].enabled = 0;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(LinuxUpdate, LinuxUpdateTest, testing::Values(
    LinuxUpdateCase{"SetTurnsOnMagicPacket", AllOff, 1, 1, "auto", "enabled",
                    {WAKE_MAGIC, WAKE_MAGIC}},
    LinuxUpdateCase{"ClearTurnsEverythingOff", [](SysfsTree&, ScriptedWakeOnLan&) {}, 0, 1,
                    "on", "disabled", {0, 0}},
    LinuxUpdateCase{"SetKeepsOptionsThenRestrictsToMagic",
                    [](SysfsTree&, ScriptedWakeOnLan& wol) { wol.nics[kEthernetIndex].enabled = kMagicPhy; },
                    1, 1, "auto", "enabled", {kMagicPhy, WAKE_MAGIC}},
    LinuxUpdateCase{"RefusedWakeOptionsLeaveFirstSettingChanged",
                    [](SysfsTree& tree, ScriptedWakeOnLan& wol) {
                        AllOff(tree, wol);
                        wol.setError = EPERM;
                    }, 1, 0, "auto", "disabled\n", {WAKE_MAGIC}},
    LinuxUpdateCase{"UnsupportedOptionRefused",
                    [](SysfsTree& tree, ScriptedWakeOnLan& wol) {
                        AllOff(tree, wol);
                        wol.nics[kEthernetIndex].supported = WAKE_PHY | WAKE_MAGICSECURE;
                    }, 1, 0, "auto", "disabled\n", {WAKE_MAGIC}}),
    CaseName());
// clang-format on

struct MagicOnlyCase {
    const char* name;
    WakeOnLan options;
    int result;
    std::vector<std::uint32_t> changes;
};

class MagicOnlyTest : public LinuxAdapterTest, public testing::WithParamInterface<MagicOnlyCase> {};

// Clearing the restriction alone, as no "-clear" does: it has already switched wake off.
TEST_P(MagicOnlyTest, LiftingRestrictionAllowsPlainWakeEvents) {
    const MagicOnlyCase& c = GetParam();
    wakeOnLan_.nics[kEthernetIndex] = c.options;
    platform::WbemLocator* locator = nullptr;
    platform::WbemServices* services = nullptr;
    ASSERT_EQ(platform::CoCreateInstance(platform::ClassId::WbemLocator, nullptr,
                                         platform::ClassContext::InprocServer,
                                         platform::InterfaceId::WbemLocator, &locator),
              0);
    ASSERT_EQ(platform::ConnectServer(locator, u"ROOT\\WMI", nullptr, nullptr, nullptr, 0, nullptr,
                                      nullptr, &services),
              0);
    std::int32_t out = 7;

    EXPECT_EQ(AdapterWakeSettings::AccessSetting(services, u"MSNdis_DeviceWakeOnMagicPacketOnly",
                                                 u"EnableWakeOnMagicPacketOnly",
                                                 u"PCI\\0000:00:03.0", 0, 1, &out),
              c.result);

    std::vector<std::uint32_t> changes;
    for (const auto& change : wakeOnLan_.changes) changes.push_back(change.second);
    EXPECT_EQ(changes, c.changes);
    platform::Release(services);
    platform::Release(locator);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MagicOnly, MagicOnlyTest, testing::Values(
    MagicOnlyCase{"AddsPlainEventsOnly",
                  {WAKE_MAGIC | WAKE_PHY | WAKE_UCAST | WAKE_MAGICSECURE | WAKE_FILTER, WAKE_MAGIC},
                  1, {WAKE_MAGIC | WAKE_PHY | WAKE_UCAST}},
    MagicOnlyCase{"RefusedWhenNicWakesOnMagicPacketAlone", {WAKE_MAGIC, WAKE_MAGIC}, 0, {}},
    MagicOnlyCase{"UnrestrictedOptionsStay", {kMagicPhy, kMagicPhy}, 1, {kMagicPhy}}),
    CaseName());
// clang-format on

// The same write without privilege: sysfs refuses it, and nothing changes.
TEST_F(LinuxAdapterTest, RefusedSysfsWriteFailsTheUpdate) {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become an unprivileged user";
    EXPECT_EXIT(
        {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) std::_Exit(2);
            AdapterWakeSettings settings;
            std::_Exit(settings.Update(kEthernetMac, 0));
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(tree_.Read(kEthernetControl), "auto\n");
    EXPECT_TRUE(wakeOnLan_.changes.empty());
}

TEST_F(LinuxAdapterTest, RefusedUpdateReportsFailure) {
    wakeOnLan_.setError = EPERM;
    testing::internal::CaptureStdout();
    RunAdapterCommand(false, true, kEthernetMac);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "You specified adapter MAC 52:54:00:AB:CD:EF\n\n"
              "The adapter COULD NOT be updated.\n\n");
}

TEST_F(LinuxAdapterTest, SetReportNamesTheDevice) {
    testing::internal::CaptureStdout();
    RunAdapterCommand(false, true, kEthernetMac);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("The adapter was successfully updated.\n\n"
                          "Adapter type .................. Ethernet\n"),
              std::string::npos);
    EXPECT_NE(output.find("Adapter registry index ........ 2\n"), std::string::npos);
    EXPECT_NE(output.find("Adapter PNP ID ................ PCI\\0000:00:03.0\n"),
              std::string::npos);
    EXPECT_NE(output.find("Wake Restricted ............... YES\n"), std::string::npos);
}

// The real rtnetlink and ethtool calls, in a network namespace of the test's own that holds
// nothing but its loopback link, which has no wake-on-LAN.
TEST(KernelInterfacesTest, LoopbackOfFreshNamespace) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a network namespace";
    EXPECT_EXIT(
        {
            if (::unshare(CLONE_NEWNET) != 0) std::_Exit(2);
            const std::vector<Link> links = platform::linux_backend::ListLinks();
            WakeOnLan options;
            const int getError = platform::linux_backend::GetWakeOnLan(1, &options);
            const int setError = platform::linux_backend::SetWakeOnLan(1, WAKE_MAGIC);
            for (const Link& link : links) {
                std::fprintf(stderr, "link %d %s type %u address %zu\n", link.index,
                             link.name.c_str(), link.hardwareType, link.address.size());
            }
            std::fprintf(stderr, "get %d set %d\n", getError, setError);
            std::_Exit(0);
        },
        testing::ExitedWithCode(0),
        "^link 1 lo type 772 address 6\nget " + std::to_string(EOPNOTSUPP) + " set " +
            std::to_string(EOPNOTSUPP) + "\n$");
}

}  // namespace
