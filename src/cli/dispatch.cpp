#include "cli/dispatch.h"

Command ChooseCommand(const CommandOptions& options) {
    if (options.info) return Command::Info;
    if ((options.set || options.query || options.clear) && !options.mac.empty()) {
        return Command::Adapter;
    }
    if (options.wake) return Command::Wake;
    return Command::Usage;
}
