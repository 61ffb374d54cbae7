#include "adapter/adapter_report.h"

#include "platform/console.h"

namespace {

const char* YesNo(std::int32_t setting) { return setting != 0 ? "YES" : "NO"; }

}  // namespace

void PrintAdapterReport(const AdapterWakeSettings& settings) {
    using platform::printf;
    printf("Adapter type .................. %s\n",
           settings.isEthernet != 0 ? "Ethernet" : "Non-Ethernet");
    printf("    Drivers tend to lie and say that they're Ethernet even\n");
    printf("    when they're not. But if they claim to be non-Ethernet\n");
    printf("    then WoL will pretty much definitely not work.\n");
    printf("\n");
    printf("Adapter registry index ........ %d\n", settings.index);
    printf("    Detailed configuration for the adapter is available in\n");
    printf("    the registry at SYSTEM\\CurrentControlSet\\Control\\\n");
    printf("    Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\%4.4d\n", settings.index);
    printf("\n");
    printf("    The settings here are highly driver-specific and\n");
    printf("    probably should not be changed by us programmatically -\n");
    printf("    but the caveat is that changing really meaty settings\n");
    printf("    such as those present on the Advanced tab of the device\n");
    printf("    properties dialog can only be done through here.\n");
    printf("\n");
    printf("Adapter PNP ID ................ %s\n",
           platform::ConsoleText(settings.PnpDeviceIdText()).c_str());
    printf("    Use the following command line to display the device\n");
    printf("    properties dialog:\n");
    printf("    rundll32.exe devmgr.dll DeviceProperties_RunDLL /DeviceID \"PNP ID\"\n");
    printf("\n");
    printf("Power Management Enabled ...... %s\n", YesNo(settings.powerManagementEnabled));
    printf("    This represents the checkbox \"Allow the computer to turn\n");
    printf("    off this device\" on the Power tab of the device properties\n");
    printf("    dialog.\n");
    printf("    This setting actually controls ACPI power management\n");
    printf("    for the device.\n");
    printf("\n");
    printf("Wake Enabled .................. %s\n", YesNo(settings.wakeEnabled));
    printf("    This represents the checkbox \"Allow this device to wake the\n");
    printf("    computer\" on the Power tab of the device properties\n");
    printf("    dialog.\n");
    printf("\n");
    printf("Wake Restricted ............... %s\n", YesNo(settings.wakeRestricted));
    printf("    This represents the checkbox \"Only allow management stations\n");
    printf("    to wake the computer\" on the Power tab of the device properties\n");
    printf("    dialog.\n");
    printf("    This setting is designed to restrict wake-up events to magic\n");
    printf("    packets.\n");
    printf("\n");
}
