#include "platform/linux/wmi_repository.h"

#include <fcntl.h>
#include <linux/ethtool.h>
#include <net/if_arp.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <optional>

#include "platform/linux/wmi_sources.h"

namespace platform::linux_backend {

namespace fs = std::filesystem;

namespace {

constexpr WideText kCimv2 = u"ROOT\\CIMV2";
constexpr WideText kWmi = u"ROOT\\WMI";
constexpr WideText kNetworkAdapter = u"Win32_NetworkAdapter";

// Windows' AdapterTypeID numbers: 0 is Ethernet 802.3, 3 a wide area network, the kind Windows
// gives links that are not a LAN medium.
constexpr std::int32_t kEthernetType = 0;
constexpr std::int32_t kWideAreaNetworkType = 3;

// Wake events a NIC can enable without further set-up (no SecureOn password, no filters).
constexpr std::uint32_t kPlainWakeEvents =
    WAKE_PHY | WAKE_UCAST | WAKE_MCAST | WAKE_BCAST | WAKE_ARP | WAKE_MAGIC;

Variant TextValue(const std::string& text) {
    Variant value;
    value.type = VariantType::Text;
    value.text = DecodeUtf8(text);
    return value;
}

Variant Int32Value(std::int32_t number) {
    Variant value;
    value.type = VariantType::Int32;
    value.int32 = number;
    return value;
}

Variant BooleanValue(bool on) {
    Variant value;
    value.type = VariantType::Boolean;
    value.boolean = on ? -1 : 0;
    return value;
}

Variant NullValue() {
    Variant value;
    value.type = VariantType::Null;
    return value;
}

HResult ResultOf(int error) {
    switch (error) {
        case 0:
            return S_OK_RESULT;
        case EPERM:
        case EACCES:
            return WBEM_E_ACCESS_DENIED_RESULT;
        case EOPNOTSUPP:
            return WBEM_E_NOT_SUPPORTED_RESULT;
        default:
            return WBEM_E_FAILED_RESULT;
    }
}

// The first line of a sysfs attribute; nothing when it is absent or unreadable.
std::optional<std::string> ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    return line;
}

// Returns 0 or the errno value of the refused write. A missing attribute is never created.
int WriteAttribute(const fs::path& file, const std::string& text) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) return errno;
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    int error = 0;
    if (written < 0) {
        error = errno;
    } else if (static_cast<std::size_t>(written) != text.size()) {
        error = EIO;
    }
    if (::close(descriptor) != 0 && error == 0) error = errno;
    return error;
}

// A link as the service names it: its sysfs device and the device identifier made from it.
struct AdapterLink {
    Link link;
    std::optional<fs::path> device;
    std::string pnpDeviceId;
};

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// "BUS\device" from the link's sysfs device; links without one (veth, bridge, tun, lo) get the
// form Windows gives its software adapters, numbered by link index.
AdapterLink Describe(const WmiSources& sources, const Link& link) {
    AdapterLink adapter{link, std::nullopt, {}};
    const fs::path deviceLink =
        fs::path(sources.sysfsRoot) / "class" / "net" / link.name / "device";
    std::error_code error;
    const fs::path device = fs::canonical(deviceLink, error);
    if (error || link.name.empty()) {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", link.index);
        adapter.pnpDeviceId = std::string("ROOT\\NET\\") + number;
        return adapter;
    }
    const fs::path bus = fs::canonical(device / "subsystem", error);
    adapter.device = device;
    adapter.pnpDeviceId = (error ? std::string("DEVICE") : Upper(bus.filename().string())) + "\\" +
                          device.filename().string();
    return adapter;
}

std::vector<AdapterLink> Adapters(const WmiSources& sources) {
    std::vector<AdapterLink> adapters;
    for (const Link& link : sources.listLinks()) adapters.push_back(Describe(sources, link));
    return adapters;
}

std::string MacText(const std::vector<std::uint8_t>& address) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", address[0], address[1],
                  address[2], address[3], address[4], address[5]);
    return text;
}

WmiInstance NetworkAdapter(const AdapterLink& adapter) {
    const Link& link = adapter.link;
    WmiInstance instance;
    instance.className = std::u16string(kNetworkAdapter);
    instance.properties = {
        {u"Name", TextValue(link.name)},
        {u"Index", Int32Value(link.index)},
        {u"MACAddress", link.address.size() == 6 ? TextValue(MacText(link.address)) : NullValue()},
        {u"AdapterTypeID",
         Int32Value(link.hardwareType == ARPHRD_ETHER ? kEthernetType : kWideAreaNetworkType)},
        {u"PNPDeviceID", TextValue(adapter.pnpDeviceId)},
    };
    return instance;
}

// One power class: how its setting is read from and written to a device.
struct PowerClass {
    WideText className;
    WideText propertyName;
    // False when the device does not expose the setting: it then has no instance.
    bool (*read)(const WmiSources& sources, const AdapterLink& adapter, bool* on);
    int (*write)(const WmiSources& sources, const WmiInstance& instance, bool on);
};

fs::path ControlFile(const fs::path& device) { return device / "power" / "control"; }
fs::path WakeupFile(const fs::path& device) { return device / "power" / "wakeup"; }

// Runtime power management: the kernel may suspend the device ("auto") or keeps it on ("on").
bool ReadPowerManagement(const WmiSources&, const AdapterLink& adapter, bool* on) {
    const auto control = ReadAttribute(ControlFile(*adapter.device));
    if (!control) return false;
    *on = *control == "auto";
    return true;
}

int WritePowerManagement(const WmiSources&, const WmiInstance& instance, bool on) {
    return WriteAttribute(ControlFile(instance.device), on ? "auto" : "on");
}

// The NIC may wake the system: some wake-on-LAN option is on and, where the device has the
// switch, its wakeup is enabled.
bool ReadWakeEnabled(const WmiSources& sources, const AdapterLink& adapter, bool* on) {
    WakeOnLan options;
    if (sources.getWakeOnLan(adapter.link.index, &options) != 0 || options.supported == 0) {
        return false;
    }
    const auto wakeup = ReadAttribute(WakeupFile(*adapter.device));
    *on = options.enabled != 0 && (!wakeup || *wakeup == "enabled");
    return true;
}

// Switching wake on keeps options that are already on, or else turns on the magic packet.
int WriteWakeEnabled(const WmiSources& sources, const WmiInstance& instance, bool on) {
    WakeOnLan options;
    if (const int error = sources.getWakeOnLan(instance.linkIndex, &options); error != 0) {
        return error;
    }
    const std::uint32_t enabled = !on ? 0 : options.enabled != 0 ? options.enabled : WAKE_MAGIC;
    if (const int error = sources.setWakeOnLan(instance.linkIndex, enabled); error != 0) {
        return error;
    }
    if (!ReadAttribute(WakeupFile(instance.device))) return 0;
    return WriteAttribute(WakeupFile(instance.device), on ? "enabled" : "disabled");
}

// Only a magic packet may wake the system: the options are exactly the magic packet.
bool ReadMagicOnly(const WmiSources& sources, const AdapterLink& adapter, bool* on) {
    WakeOnLan options;
    if (sources.getWakeOnLan(adapter.link.index, &options) != 0 ||
        (options.supported & WAKE_MAGIC) == 0) {
        return false;
    }
    *on = options.enabled == WAKE_MAGIC;
    return true;
}

// Lifting the restriction from a NIC that wakes on the magic packet alone lets every plain wake
// event it supports wake the system; options that are not magic-only stay as they are.
int WriteMagicOnly(const WmiSources& sources, const WmiInstance& instance, bool on) {
    WakeOnLan options;
    if (const int error = sources.getWakeOnLan(instance.linkIndex, &options); error != 0) {
        return error;
    }
    std::uint32_t enabled = options.enabled;
    if (on) {
        enabled = WAKE_MAGIC;
    } else if (options.enabled == WAKE_MAGIC) {
        enabled = options.supported & kPlainWakeEvents;
        if (enabled == WAKE_MAGIC) return EOPNOTSUPP;
    }
    return sources.setWakeOnLan(instance.linkIndex, enabled);
}

constexpr PowerClass kPowerClasses[] = {
    {u"MSPower_DeviceEnable", u"Enable", ReadPowerManagement, WritePowerManagement},
    {u"MSPower_DeviceWakeEnable", u"Enable", ReadWakeEnabled, WriteWakeEnabled},
    {u"MSNdis_DeviceWakeOnMagicPacketOnly", u"EnableWakeOnMagicPacketOnly", ReadMagicOnly,
     WriteMagicOnly},
};

const PowerClass* FindPowerClass(WideText className) {
    for (const PowerClass& powerClass : kPowerClasses) {
        if (EqualsIgnoringAsciiCase(powerClass.className, className)) return &powerClass;
    }
    return nullptr;
}

// One instance per device, for the first link on it, when the device exposes the setting.
std::vector<WmiInstance> PowerInstances(const WmiSources& sources, const PowerClass& powerClass) {
    std::vector<WmiInstance> instances;
    std::vector<std::string> devicesSeen;
    for (const AdapterLink& adapter : Adapters(sources)) {
        if (!adapter.device) continue;
        if (std::find(devicesSeen.begin(), devicesSeen.end(), adapter.pnpDeviceId) !=
            devicesSeen.end()) {
            continue;
        }
        devicesSeen.push_back(adapter.pnpDeviceId);
        bool on = false;
        if (!powerClass.read(sources, adapter, &on)) continue;
        WmiInstance instance;
        instance.className = std::u16string(powerClass.className);
        instance.properties = {
            {u"InstanceName", TextValue(adapter.pnpDeviceId + "_0")},
            {u"Active", BooleanValue(true)},
            {std::u16string(powerClass.propertyName), BooleanValue(on)},
        };
        instance.linkIndex = adapter.link.index;
        instance.device = *adapter.device;
        instances.push_back(std::move(instance));
    }
    return instances;
}

}  // namespace

std::u16string KnownNamespace(WideText name) {
    for (const WideText known : {kCimv2, kWmi}) {
        if (EqualsIgnoringAsciiCase(known, name)) return std::u16string(known);
    }
    return {};
}

HResult ListInstances(WideText namespaceName, WideText className,
                      std::vector<WmiInstance>* instances) {
    const WmiSources& sources = CurrentWmiSources();
    instances->clear();
    if (namespaceName == kCimv2 && EqualsIgnoringAsciiCase(className, kNetworkAdapter)) {
        for (const AdapterLink& adapter : Adapters(sources)) {
            instances->push_back(NetworkAdapter(adapter));
        }
        return S_OK_RESULT;
    }
    const PowerClass* powerClass = FindPowerClass(className);
    if (namespaceName != kWmi || powerClass == nullptr) return WBEM_E_INVALID_CLASS_RESULT;
    *instances = PowerInstances(sources, *powerClass);
    return S_OK_RESULT;
}

HResult StoreInstance(const WmiInstance& instance) {
    const PowerClass* powerClass = FindPowerClass(instance.className);
    if (powerClass == nullptr) return WBEM_E_NOT_SUPPORTED_RESULT;
    Properties properties = instance.properties;
    const Variant* setting = FindProperty(properties, powerClass->propertyName);
    if (setting == nullptr || setting->type != VariantType::Boolean) {
        return WBEM_E_TYPE_MISMATCH_RESULT;
    }
    return ResultOf(powerClass->write(CurrentWmiSources(), instance, setting->boolean != 0));
}

Variant* FindProperty(Properties& properties, WideText name) {
    for (auto& [propertyName, value] : properties) {
        if (EqualsIgnoringAsciiCase(propertyName, name)) return &value;
    }
    return nullptr;
}

}  // namespace platform::linux_backend
