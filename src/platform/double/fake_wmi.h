#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/wmi.h"

namespace fake {

// One instance: its properties by name.
using Properties = std::map<std::u16string, platform::Variant>;
// Instances by class name, in enumeration order.
using WmiClasses = std::map<std::u16string, std::vector<Properties>>;

// A call whose recorded text begins with `call` returns `result` and does nothing else.
struct ScriptedFailure {
    std::string call;
    platform::HResult result = platform::WBEM_E_FAILED_RESULT;
};

struct Wmi {
    // Namespaces by name ("ROOT\\CIMV2"); a class that is not listed has no instances.
    std::map<std::u16string, WmiClasses> namespaces;
    std::vector<ScriptedFailure> failures;

    // Interfaces handed out and not yet released, each with the name calls know it by.
    std::map<const void*, std::string> held;
    // Values that Get filled and VariantClear has not yet emptied.
    std::multiset<const platform::Variant*> filled;
    // Misuse seen: a release of something not held, a Get into a value still filled.
    std::vector<std::string> faults;
};

extern Wmi wmi;

inline platform::Variant Text(std::u16string text) {
    platform::Variant value;
    value.type = platform::VariantType::Text;
    value.text = std::move(text);
    return value;
}

inline platform::Variant Int32(std::int32_t number) {
    platform::Variant value;
    value.type = platform::VariantType::Int32;
    value.int32 = number;
    return value;
}

// A boolean as the service hands it over: -1 for true.
inline platform::Variant Boolean(bool flag) {
    platform::Variant value;
    value.type = platform::VariantType::Boolean;
    value.boolean = flag ? -1 : 0;
    return value;
}

inline platform::Variant Null() {
    platform::Variant value;
    value.type = platform::VariantType::Null;
    return value;
}

}  // namespace fake
