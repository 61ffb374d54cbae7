#include "probe/info_command.h"

#include "platform/console.h"
#include "platform/kernel.h"
#include "probe/network_environment.h"

void RunInfoCommand() {
    NetworkEnvironment environment;
    if (environment.Gather() == 1) {
        environment.Print();
        return;
    }
    platform::printf("Can't get WoL data, error %d\n", static_cast<int>(platform::GetLastError()));
}
