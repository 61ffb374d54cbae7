#include "adapter/adapter_command.h"

#include "adapter/adapter_report.h"
#include "adapter/adapter_wake_settings.h"
#include "platform/console.h"

void RunAdapterCommand(bool query, bool set, WideText mac) {
    AdapterWakeSettings settings;
    platform::printf("You specified adapter MAC %s\n", platform::ConsoleText(mac).c_str());
    platform::printf("\n");

    int ok = 0;
    if (query) {
        ok = settings.Query(mac);
        if (ok == 0) platform::printf("The adapter COULD NOT be queried.\n");
    } else {
        ok = settings.Update(mac, set ? 1 : 0);
        if (ok == 1) {
            platform::printf("The adapter was successfully updated.\n");
        } else {
            platform::printf("The adapter COULD NOT be updated.\n");
        }
    }
    platform::printf("\n");
    if (ok == 1) PrintAdapterReport(settings);
}
