#include "probe/info_command.h"

void RunInfoCommand() {}
