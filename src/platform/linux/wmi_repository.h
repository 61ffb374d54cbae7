#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/wide_text.h"
#include "platform/wmi.h"

// The management classes the program uses, made from the kernel's view of the links:
// Win32_NetworkAdapter in ROOT\CIMV2 and the three power classes in ROOT\WMI.
namespace platform::linux_backend {

using Properties = std::vector<std::pair<std::u16string, Variant>>;

struct WmiInstance {
    std::u16string className;
    Properties properties;
    // For the power classes: the link whose NIC a write changes, and its sysfs device.
    int linkIndex = 0;
    std::filesystem::path device;
};

// The canonical spelling of a namespace the backend serves; empty for any other.
std::u16string KnownNamespace(WideText name);

// The current instances of one class, read afresh.
HResult ListInstances(WideText namespaceName, WideText className,
                      std::vector<WmiInstance>* instances);

// Makes the system's setting what the instance's boolean property now holds.
HResult StoreInstance(const WmiInstance& instance);

// Property names compare as the service compares them, ignoring ASCII case. Null when absent.
Variant* FindProperty(Properties& properties, WideText name);

}  // namespace platform::linux_backend
