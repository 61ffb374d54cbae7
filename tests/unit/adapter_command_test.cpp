#include "adapter/adapter_command.h"

#include <gtest/gtest.h>

#include <string>

#include "adapter_world.h"
#include "call_log.h"
#include "case_name.h"
#include "fake_console.h"

namespace {

std::string Opening(const std::string& mac) { return "You specified adapter MAC " + mac + "\n\n"; }

std::string Report(const std::string& type, const std::string& index, const std::string& key,
                   const std::string& pnp, const std::string& power, const std::string& wake,
                   const std::string& restricted) {
    return "Adapter type .................. " + type +
           "\n"
           "    Drivers tend to lie and say that they're Ethernet even\n"
           "    when they're not. But if they claim to be non-Ethernet\n"
           "    then WoL will pretty much definitely not work.\n"
           "\n"
           "Adapter registry index ........ " +
           index +
           "\n"
           "    Detailed configuration for the adapter is available in\n"
           "    the registry at SYSTEM\\CurrentControlSet\\Control\\\n"
           "    Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
           key +
           "\n"
           "\n"
           "    The settings here are highly driver-specific and\n"
           "    probably should not be changed by us programmatically -\n"
           "    but the caveat is that changing really meaty settings\n"
           "    such as those present on the Advanced tab of the device\n"
           "    properties dialog can only be done through here.\n"
           "\n"
           "Adapter PNP ID ................ " +
           pnp +
           "\n"
           "    Use the following command line to display the device\n"
           "    properties dialog:\n"
           "    rundll32.exe devmgr.dll DeviceProperties_RunDLL /DeviceID \"PNP ID\"\n"
           "\n"
           "Power Management Enabled ...... " +
           power +
           "\n"
           "    This represents the checkbox \"Allow the computer to turn\n"
           "    off this device\" on the Power tab of the device properties\n"
           "    dialog.\n"
           "    This setting actually controls ACPI power management\n"
           "    for the device.\n"
           "\n"
           "Wake Enabled .................. " +
           wake +
           "\n"
           "    This represents the checkbox \"Allow this device to wake the\n"
           "    computer\" on the Power tab of the device properties\n"
           "    dialog.\n"
           "\n"
           "Wake Restricted ............... " +
           restricted +
           "\n"
           "    This represents the checkbox \"Only allow management stations\n"
           "    to wake the computer\" on the Power tab of the device properties\n"
           "    dialog.\n"
           "    This setting is designed to restrict wake-up events to magic\n"
           "    packets.\n"
           "\n";
}

const std::string kEthernetPnpText = "PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086\\3&267A616A&0&18";
const std::string kWirelessPnpText = "PCI\\VEN_168C&DEV_002B\\4&1A2B3C4D&0&00E1";

struct CommandCase {
    const char* name;
    bool query;
    bool set;
    std::u16string mac;
    void (*edit)();
    std::string output;
    bool writes;
};

class AdapterCommandTest : public testing::TestWithParam<CommandCase> {
  protected:
    void SetUp() override { BuildAdapterWorld(); }
};

TEST_P(AdapterCommandTest, PrintsOutcomeAndReport) {
    const CommandCase& c = GetParam();
    if (c.edit != nullptr) c.edit();

    RunAdapterCommand(c.query, c.set, c.mac);

    EXPECT_EQ(fake::console, c.output);
    EXPECT_EQ(!fake::CallsNamed("PutInstance").empty(), c.writes);
    ExpectEverythingReleased();
}

void NoEdit() {}

void FailThirdWrite() {
    fake::wmi.failures = {{"PutInstance(ROOT\\WMI, MSNdis_DeviceWakeOnMagicPacketOnly"}};
}

void WakeOffEverywhere() {
    for (auto& instance : fake::wmi.namespaces[u"ROOT\\WMI"][kWakeEnable]) {
        instance[u"Enable"] = fake::Boolean(false);
    }
}

void NonAsciiPnp() {
    auto& adapter = fake::wmi.namespaces[u"ROOT\\CIMV2"][u"Win32_NetworkAdapter"][2];
    adapter[u"PNPDeviceID"] = fake::Text(u"PCI\\Caf\u00E9");
    for (const auto* name : {&kPowerEnable, &kWakeEnable, &kMagicOnly}) {
        fake::wmi.namespaces[u"ROOT\\WMI"][*name][0][u"InstanceName"] =
            fake::Text(u"PCI\\Caf\u00E9_0");
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(AdapterCommand, AdapterCommandTest, testing::Values(
    CommandCase{"QueryIndexSevenShowsKey0007", true, false, u"00:1a:2b:3c:4d:5e", NoEdit,
                Opening("00:1a:2b:3c:4d:5e") + "\n" +
                    Report("Ethernet", "7", "0007", kEthernetPnpText, "YES", "YES", "YES"),
                false},
    CommandCase{"QueryNonEthernetWithWakeOff", true, false, u"00:1A:2B:3C:4D:5F", NoEdit,
                Opening("00:1A:2B:3C:4D:5F") + "\n" +
                    Report("Non-Ethernet", "9", "0009", kWirelessPnpText, "YES", "NO", "YES"),
                false},
    CommandCase{"QueryPrintsPnpInConsoleText", true, false, u"00:1A:2B:3C:4D:5F", NonAsciiPnp,
                Opening("00:1A:2B:3C:4D:5F") + "\n" +
                    Report("Non-Ethernet", "9", "0009", "PCI\\Caf\xC3\xA9", "YES", "NO", "YES"),
                false},
    CommandCase{"QueryUnknownMac", true, false, u"00:00:00:00:00:01", NoEdit,
                Opening("00:00:00:00:00:01") + "The adapter COULD NOT be queried.\n\n", false},
    CommandCase{"MacPrintedAsTyped", true, false, u"aa-bb \u00FC", NoEdit,
                Opening("aa-bb \xC3\xBC") + "The adapter COULD NOT be queried.\n\n", false},
    CommandCase{"QueryWinsOverSet", true, true, u"00:1A:2B:3C:4D:5F", NoEdit,
                Opening("00:1A:2B:3C:4D:5F") + "\n" +
                    Report("Non-Ethernet", "9", "0009", kWirelessPnpText, "YES", "NO", "YES"),
                false},
    CommandCase{"SetShowsYesEverywhere", false, true, u"00:1A:2B:3C:4D:5F", NoEdit,
                Opening("00:1A:2B:3C:4D:5F") + "The adapter was successfully updated.\n\n" +
                    Report("Non-Ethernet", "9", "0009", kWirelessPnpText, "YES", "YES", "YES"),
                true},
    CommandCase{"ClearShowsNoEverywhere", false, false, u"00:1A:2B:3C:4D:5E", NoEdit,
                Opening("00:1A:2B:3C:4D:5E") + "The adapter was successfully updated.\n\n" +
                    Report("Ethernet", "7", "0007", kEthernetPnpText, "NO", "NO", "NO"),
                true},
    CommandCase{"ClearOfWakeAlreadyOff", false, false, u"00:1A:2B:3C:4D:5E", WakeOffEverywhere,
                Opening("00:1A:2B:3C:4D:5E") + "The adapter was successfully updated.\n\n" +
                    Report("Ethernet", "7", "0007", kEthernetPnpText, "NO", "NO", "NO"),
                true},
    CommandCase{"FailedUpdatePrintsNoReport", false, true, u"00:1A:2B:3C:4D:5E", FailThirdWrite,
                Opening("00:1A:2B:3C:4D:5E") + "The adapter COULD NOT be updated.\n\n", true},
    CommandCase{"UpdateUnknownMac", false, true, u"00:00:00:00:00:01", NoEdit,
                Opening("00:00:00:00:00:01") + "The adapter COULD NOT be updated.\n\n", false}),
    CaseName());
// clang-format on

}  // namespace
