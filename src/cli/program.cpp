#include "cli/program.h"

#include "adapter/adapter_command.h"
#include "cli/command_options.h"
#include "cli/dispatch.h"
#include "cli/usage.h"
#include "platform/com.h"
#include "platform/console.h"
#include "platform/winsock.h"
#include "probe/info_command.h"
#include "wake/send_wake.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitComFailure = 1;

// Returns false, having said so and undone what it must, when COM cannot be started.
bool StartPlatform() {
    platform::WsaData wsaData;
    platform::WSAStartup(platform::WINSOCK_VERSION_2_0, &wsaData);

    if (platform::Failed(
            platform::CoInitializeEx(nullptr, platform::ConcurrencyModel::Multithreaded))) {
        platform::printf("Can't init COM, wtf?\n");
        return false;
    }
    if (platform::Failed(platform::CoInitializeSecurity(
            nullptr, -1, nullptr, nullptr, platform::AuthenticationLevel::Default,
            platform::ImpersonationLevel::Impersonate, nullptr, platform::Capabilities::None,
            nullptr))) {
        platform::printf("Can't init COM, wtf?\n");
        platform::CoUninitialize();
        return false;
    }
    return true;
}

void RunCommand(const CommandOptions& options) {
    switch (ChooseCommand(options)) {
        case Command::Info:
            RunInfoCommand();
            return;
        case Command::Adapter:
            RunAdapterCommand(options.query, options.set, options.mac);
            return;
        case Command::Wake:
            SendWake(options.mac, options.ip, options.subnet, options.computer);
            return;
        case Command::Usage:
            PrintUsage();
            return;
    }
}

}  // namespace

int RunProgram(std::span<const WideText> arguments) {
    const CommandOptions options = ScanArguments(arguments);
    if (!StartPlatform()) return kExitComFailure;
    RunCommand(options);
    platform::CoUninitialize();
    return kExitSuccess;
}
