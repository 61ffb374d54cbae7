#include "adapter/adapter_command.h"

void RunAdapterCommand(bool, bool, WideText) {}
