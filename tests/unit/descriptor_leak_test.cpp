#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "adapter_world.h"
#include "case_name.h"
#include "cli/program.h"
#include "fake_com.h"
#include "fake_winsock.h"
#include "info_world.h"
#include "reset.h"

namespace {

constexpr int kRuns = 200;

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

// One path through one command: how the double is set up, and the arguments that take it.
struct PathCase {
    const char* name;
    std::function<void()> script;
    std::vector<std::u16string> arguments;
};

void PrintTo(const PathCase& path, std::ostream* stream) { *stream << path.name; }

class DescriptorLeakTest : public testing::TestWithParam<PathCase> {};

// Whatever a run holds it gives back: over many runs in one process the descriptor count stays
// put, and after each run the double holds no socket, address list, interface or value.
TEST_P(DescriptorLeakTest, ManyRunsHoldNothingAfterwards) {
    const PathCase& path = GetParam();
    std::vector<WideText> arguments = {u"netrise"};
    arguments.insert(arguments.end(), path.arguments.begin(), path.arguments.end());
    const std::size_t descriptorsBefore = OpenDescriptors();

    for (int run = 0; run < kRuns; ++run) {
        path.script();
        RunProgram(arguments);
        ASSERT_TRUE(fake::winsock.openSockets.empty()) << "run " << run;
        ASSERT_EQ(fake::winsock.openAddressLists, 0) << "run " << run;
        ASSERT_TRUE(fake::wmi.held.empty()) << "run " << run;
        ASSERT_TRUE(fake::wmi.filled.empty()) << "run " << run;
        ASSERT_TRUE(fake::wmi.faults.empty()) << "run " << run;
    }
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
}

void ScriptPc() {
    fake::Reset();
    fake::winsock.names["pc"] = {0, platform::FAMILY_INET, Address("10.0.0.7")};
}

void ScriptPcOtherFamily() {
    fake::Reset();
    fake::winsock.names["pc"] = {0, platform::FAMILY_INET6, 0};
}

void ScriptRefusedSockets() {
    fake::Reset();
    fake::winsock.socketSucceeds = {false};
    fake::winsock.sendtoSucceeds = {false};
    fake::winsock.lastError = 10055;
}

void ScriptAdapterWorldFailing(const char* call) {
    BuildAdapterWorld();
    fake::wmi.failures = {{call}};
}

const std::vector<std::u16string> kWake = {
    u"-wake", u"-mac", u"00:11:22:33:44:55", u"-ip", u"192.168.1.20", u"-subnet", u"255.255.255.0"};
const std::u16string kEthernet(kEthernetMac);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Wake, DescriptorLeakTest, testing::Values(
    PathCase{"Nothing", fake::Reset, {u"-wake"}},
    PathCase{"MagicArpAndDirect", fake::Reset, kWake},
    PathCase{"RefusedSockets", ScriptRefusedSockets, kWake},
    PathCase{"NetworkAddress", fake::Reset,
             {u"-wake", u"-mac", u"00:11:22:33:44:55", u"-ip", u"192.168.1.0", u"-subnet",
              u"255.255.255.0"}},
    PathCase{"ComputerResolves", ScriptPc, {u"-wake", u"-computer", u"pc"}},
    PathCase{"ComputerInOtherFamily", ScriptPcOtherFamily, {u"-wake", u"-computer", u"pc"}},
    PathCase{"ComputerUnknown", fake::Reset, {u"-wake", u"-computer", u"nobody"}},
    PathCase{"ComputerNotSingleByte", fake::Reset, {u"-wake", u"-computer", u"\u0100"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(Info, DescriptorLeakTest, testing::Values(
    PathCase{"Report", ScriptHealthyEnvironment, {u"-info"}},
    PathCase{"SiteUnknown", [] { ScriptHealthyEnvironment(); fake::winsock.names.clear(); },
             {u"-info"}},
    PathCase{"SiteInOtherFamily",
             [] { ScriptHealthyEnvironment(); fake::winsock.names[SITE_HOST].family = platform::FAMILY_INET6; },
             {u"-info"}},
    PathCase{"NoInterface",
             [] { ScriptHealthyEnvironment(); fake::iphlpapi.bestInterfaceResult = 1231; },
             {u"-info"}},
    PathCase{"AddressTableFails",
             [] { ScriptHealthyEnvironment(); fake::iphlpapi.addressTableFailures = {122, 8}; },
             {u"-info"}},
    PathCase{"NoPrimaryAddress",
             [] { ScriptHealthyEnvironment(); fake::iphlpapi.addressRows.clear(); },
             {u"-info"}},
    PathCase{"NoRoute", [] { ScriptHealthyEnvironment(); fake::iphlpapi.bestRouteResult = 1232; },
             {u"-info"}},
    PathCase{"NextHopSilent",
             [] { ScriptHealthyEnvironment(); fake::iphlpapi.arpReplies.clear(); },
             {u"-info"}}),
    CaseName());

INSTANTIATE_TEST_SUITE_P(Adapter, DescriptorLeakTest, testing::Values(
    PathCase{"QueryFound", BuildAdapterWorld, {u"-query", u"-mac", kEthernet}},
    PathCase{"QueryUnknownMac", BuildAdapterWorld, {u"-query", u"-mac", u"00:00:00:00:00:01"}},
    PathCase{"QueryReadFails",
             [] { ScriptAdapterWorldFailing("Get(MSPower_DeviceWakeEnable#1, Enable"); },
             {u"-query", u"-mac", kEthernet}},
    PathCase{"QueryServiceUnreachable", [] { ScriptAdapterWorldFailing("ConnectServer(ROOT\\WMI"); },
             {u"-query", u"-mac", kEthernet}},
    PathCase{"SetWritten", BuildAdapterWorld, {u"-set", u"-mac", kEthernet}},
    PathCase{"SetRefused",
             [] { ScriptAdapterWorldFailing("PutInstance(ROOT\\WMI, MSPower_DeviceWakeEnable"); },
             {u"-set", u"-mac", kEthernet}},
    PathCase{"ClearWritten", BuildAdapterWorld, {u"-clear", u"-mac", kEthernet}},
    PathCase{"ClearEnumerationFails",
             [] { ScriptAdapterWorldFailing("Next(MSNdis_DeviceWakeOnMagicPacketOnly"); },
             {u"-clear", u"-mac", kEthernet}},
    PathCase{"ComStartFails",
             [] { BuildAdapterWorld(); fake::com.coInitializeSecurityResult = static_cast<platform::HResult>(0x80010119); },
             {u"-set", u"-mac", kEthernet}}),
    CaseName());
// clang-format on

}  // namespace
