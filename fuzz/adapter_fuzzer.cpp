#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "adapter/adapter_wake_settings.h"
#include "call_log.h"
#include "fake_wmi.h"
#include "fuzz_check.h"
#include "fuzz_text.h"
#include "reset.h"

namespace {

const std::u16string kCimv2 = u"ROOT\\CIMV2";
const std::u16string kWmi = u"ROOT\\WMI";
const std::u16string kAdapterClass = u"Win32_NetworkAdapter";
const std::map<std::u16string, std::u16string> kSettingProperty = {
    {u"MSPower_DeviceEnable", u"Enable"},
    {u"MSPower_DeviceWakeEnable", u"Enable"},
    {u"MSNdis_DeviceWakeOnMagicPacketOnly", u"EnableWakeOnMagicPacketOnly"},
};

std::string_view TakeWord(std::string_view& line) {
    const std::size_t end = line.find(' ');
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
    return word;
}

// One value word: "-" for a property the object lacks, "empty", "null", "other", "i:N" for a
// 32-bit integer, "b:N" for a boolean holding N, "s:TEXT" for text.
std::optional<platform::Variant> ParseValue(std::string_view word) {
    if (word == "-") return std::nullopt;
    platform::Variant value;
    const std::string number(word.size() > 2 ? word.substr(2) : std::string_view());
    if (word.starts_with("s:")) {
        value = fake::Text(WideFromBytes(word.substr(2)));
    } else if (word.starts_with("i:")) {
        value = fake::Int32(static_cast<std::int32_t>(std::strtol(number.c_str(), nullptr, 10)));
    } else if (word.starts_with("b:")) {
        value.type = platform::VariantType::Boolean;
        value.boolean = static_cast<std::int16_t>(std::strtol(number.c_str(), nullptr, 10));
    } else if (word == "null") {
        value = fake::Null();
    } else if (word == "other") {
        value.type = platform::VariantType::Other;
    }
    return value;
}

void SetProperty(fake::Properties& properties, const std::u16string& name, std::string_view word) {
    if (const std::optional<platform::Variant> value = ParseValue(word)) properties[name] = *value;
}

struct Request {
    std::u16string mac;
    int value = 0;
    int clear = 0;
};

// The first line names the operation ("query", "set" or "clear") and the MAC text; each further
// line adds to the repository:
//   adapter MAC INDEX TYPE PNPDEVICEID    an instance of the adapter class, in order
//   instance CLASS INSTANCENAME SETTING   an instance of a power class, in order
//   fail CALL                             calls whose text begins with CALL fail
Request BuildRepository(std::string_view input) {
    fake::Reset();
    std::vector<fake::Properties>& adapters = fake::wmi.namespaces[kCimv2][kAdapterClass];
    fake::WmiClasses& power = fake::wmi.namespaces[kWmi];

    std::string_view first = TakeLine(input);
    const std::string_view operation = TakeWord(first);
    Request request{WideFromBytes(first), operation == "set" ? 1 : 0, operation == "clear" ? 1 : 0};
    while (!input.empty()) {
        std::string_view line = TakeLine(input);
        const std::string_view kind = TakeWord(line);
        if (kind == "adapter") {
            fake::Properties adapter;
            for (const char16_t* name :
                 {u"MACAddress", u"Index", u"AdapterTypeID", u"PNPDeviceID"}) {
                SetProperty(adapter, name, TakeWord(line));
            }
            adapters.push_back(adapter);
        } else if (kind == "instance") {
            const std::u16string className = WideFromBytes(TakeWord(line));
            const auto setting = kSettingProperty.find(className);
            fake::Properties instance;
            SetProperty(instance, u"InstanceName", TakeWord(line));
            SetProperty(instance, setting == kSettingProperty.end() ? u"Enable" : setting->second,
                        TakeWord(line));
            power[className].push_back(instance);
        } else if (kind == "fail") {
            fake::wmi.failures.push_back({std::string(line), platform::WBEM_E_FAILED_RESULT});
        }
    }
    return request;
}

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

bool SameIgnoringAsciiCase(std::u16string_view left, std::u16string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldAscii(left[i]) != FoldAscii(right[i])) return false;
    }
    return true;
}

bool SameValue(const platform::Variant& left, const platform::Variant& right) {
    return left.type == right.type && left.text == right.text && left.int32 == right.int32 &&
           left.boolean == right.boolean;
}

bool SameProperties(const fake::Properties& left, const fake::Properties& right) {
    if (left.size() != right.size()) return false;
    for (const auto& [name, value] : left) {
        const auto other = right.find(name);
        if (other == right.end() || !SameValue(value, other->second)) return false;
    }
    return true;
}

const std::u16string* TextOf(const fake::Properties& properties, const std::u16string& name) {
    const auto found = properties.find(name);
    if (found == properties.end() || found->second.type != platform::VariantType::Text) {
        return nullptr;
    }
    return &found->second.text;
}

// An object the command went past the matching key of: read another property of it, or wrote it.
struct Selection {
    std::u16string className;
    std::size_t instance = 0;
    bool operator<(const Selection& other) const {
        return className != other.className ? className < other.className
                                            : instance < other.instance;
    }
};

// The object named by a recorded call "Name(OBJECT, ..." or, for PutInstance, its second argument,
// and the property that follows it.
Selection ObjectOf(std::string_view call, std::string& property) {
    call.remove_prefix(call.find('(') + 1);
    if (call.starts_with("ROOT\\")) call.remove_prefix(call.find(", ") + 2);
    const std::string_view object = call.substr(0, call.find(", "));
    const std::size_t hash = object.rfind('#');
    FUZZ_CHECK(hash != std::string_view::npos);
    call.remove_prefix(object.size() + 2);
    property = std::string(call.substr(0, call.find(", ")));
    return {DecodeUtf8(object.substr(0, hash)),
            std::strtoul(std::string(object.substr(hash + 1)).c_str(), nullptr, 10)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Request request =
        BuildRepository(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::map<std::u16string, fake::WmiClasses> before = fake::wmi.namespaces;
    const bool writes = request.value != 0 || request.clear != 0;

    AdapterWakeSettings settings;
    const int result = settings.Access(request.mac, request.value, request.clear);

    FUZZ_CHECK(fake::wmi.held.empty());
    FUZZ_CHECK(fake::wmi.filled.empty());
    FUZZ_CHECK(fake::wmi.faults.empty());

    std::set<Selection> selected;
    std::set<Selection> written;
    for (const std::string& call : fake::calls) {
        std::string property;
        if (call.starts_with("Get(")) {
            const Selection object = ObjectOf(call, property);
            const bool matchingKey = object.className == kAdapterClass ? property == "MACAddress"
                                                                       : property == "InstanceName";
            if (!matchingKey) selected.insert(object);
        } else if (call.starts_with("Put(") || call.starts_with("PutInstance(")) {
            FUZZ_CHECK(writes);
            const Selection object = ObjectOf(call, property);
            FUZZ_CHECK(object.className != kAdapterClass);
            selected.insert(object);
            written.insert(object);
        }
    }

    // The adapter: at most one, and only one whose hardware address is the text asked for.
    const std::vector<fake::Properties>& adapters = before.at(kCimv2).at(kAdapterClass);
    const fake::Properties* adapter = nullptr;
    for (const Selection& object : selected) {
        if (object.className != kAdapterClass) continue;
        FUZZ_CHECK(adapter == nullptr);
        adapter = &adapters.at(object.instance);
        const std::u16string* mac = TextOf(*adapter, u"MACAddress");
        FUZZ_CHECK(mac != nullptr && SameIgnoringAsciiCase(*mac, request.mac));
    }

    // The power instances: at most one per class, only of the selected adapter's device, found
    // by a non-empty identifier that the instance name starts with.
    std::set<std::u16string> classesSelected;
    for (const Selection& object : selected) {
        if (object.className == kAdapterClass) continue;
        FUZZ_CHECK(kSettingProperty.count(object.className) == 1);
        FUZZ_CHECK(classesSelected.insert(object.className).second);
        FUZZ_CHECK(adapter != nullptr);
        const std::u16string* deviceId = TextOf(*adapter, u"PNPDeviceID");
        FUZZ_CHECK(deviceId != nullptr && !deviceId->empty());
        const std::u16string* instanceName =
            TextOf(before.at(kWmi).at(object.className).at(object.instance), u"InstanceName");
        FUZZ_CHECK(instanceName != nullptr && instanceName->size() >= deviceId->size());
        FUZZ_CHECK(SameIgnoringAsciiCase(instanceName->substr(0, deviceId->size()), *deviceId));
    }

    // Only written instances changed, each only in its setting, to the value asked for.
    for (const auto& [space, classes] : fake::wmi.namespaces) {
        for (const auto& [className, instances] : classes) {
            const std::vector<fake::Properties>& old = before.at(space).at(className);
            FUZZ_CHECK(instances.size() == old.size());
            for (std::size_t i = 0; i < instances.size(); ++i) {
                if (SameProperties(instances[i], old[i])) continue;
                FUZZ_CHECK(written.count({className, i}) == 1);
                const std::u16string& setting = kSettingProperty.at(className);
                fake::Properties expected = old[i];
                expected[setting].boolean = static_cast<std::int16_t>(request.value);
                FUZZ_CHECK(SameProperties(instances[i], expected));
            }
        }
    }

    if (result == 1) {
        FUZZ_CHECK(adapter != nullptr && classesSelected.size() == kSettingProperty.size());
        const std::u16string deviceId = TextOf(*adapter, u"PNPDeviceID")->substr(0, 255);
        FUZZ_CHECK(settings.PnpDeviceIdText() == deviceId.substr(0, deviceId.find(u'\0')));
        if (writes) FUZZ_CHECK(written.size() == kSettingProperty.size());
    }
    return 0;
}
