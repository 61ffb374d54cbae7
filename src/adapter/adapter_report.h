#pragma once

#include "adapter/adapter_wake_settings.h"

// Explains each of the adapter's values and where else it can be seen or changed.
void PrintAdapterReport(const AdapterWakeSettings& settings);
