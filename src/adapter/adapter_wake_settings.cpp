#include "adapter/adapter_wake_settings.h"

#include <algorithm>
#include <string>

#include "adapter/property_read.h"

using platform::Failed;
using platform::Succeeded;
using platform::VariantType;
using platform::WbemEnumerator;
using platform::WbemLocator;
using platform::WbemObject;
using platform::WbemServices;

namespace {

constexpr WideText kQueryLanguage = u"WQL";
constexpr std::int32_t kQueryFlags =
    platform::QUERY_FORWARD_ONLY | platform::QUERY_RETURN_IMMEDIATELY;
constexpr std::size_t kQueryCapacity = 256;

struct PowerSetting {
    WideText className;
    WideText propertyName;
    std::int32_t AdapterWakeSettings::*field;
};

// Visited in this order; a write stops at the first setting that fails.
constexpr PowerSetting kPowerSettings[] = {
    {u"MSPower_DeviceEnable", u"Enable", &AdapterWakeSettings::powerManagementEnabled},
    {u"MSPower_DeviceWakeEnable", u"Enable", &AdapterWakeSettings::wakeEnabled},
    {u"MSNdis_DeviceWakeOnMagicPacketOnly", u"EnableWakeOnMagicPacketOnly",
     &AdapterWakeSettings::wakeRestricted},
};

// Connects to one namespace and sets the blanket its calls need. Whatever was obtained is left
// in `services` for the caller to release, also when the blanket fails.
bool Connect(WbemLocator* locator, WideText namespaceName, WbemServices** services) {
    if (Failed(platform::ConnectServer(locator, namespaceName, nullptr, nullptr, nullptr, 0,
                                       nullptr, nullptr, services))) {
        return false;
    }
    return Succeeded(platform::CoSetProxyBlanket(
        *services, platform::AuthenticationService::WinNt, platform::AuthorizationService::None,
        nullptr, platform::AuthenticationLevel::Call, platform::ImpersonationLevel::Impersonate,
        nullptr, platform::Capabilities::None));
}

// The next object of the enumeration, or null when the call fails or the enumeration has ended.
WbemObject* NextObject(WbemEnumerator* enumerator) {
    WbemObject* object = nullptr;
    std::uint32_t returned = 0;
    if (Failed(platform::Next(enumerator, platform::TIMEOUT_INFINITE, 1, &object, &returned)) ||
        returned == 0) {
        return nullptr;
    }
    return object;
}

// Walks the enumeration to the first object whose `key` property is text that `matches`, and
// returns what `examine` makes of that object; 0 when no object matches. Every object fetched is
// released, and every key read is cleared, before the next one is fetched.
template <class Matches, class Examine>
int ExamineFirstMatch(WbemEnumerator* enumerator, WideText key, Matches matches, Examine examine) {
    int result = 0;
    bool found = false;
    while (enumerator != nullptr && !found) {
        WbemObject* object = NextObject(enumerator);
        if (object == nullptr) break;
        {
            const PropertyRead keyValue(object, key);
            if (keyValue.Holds(VariantType::Text) && matches(WideText(keyValue.Value().text))) {
                found = true;
                result = examine(object);
            }
        }
        platform::Release(object);
    }
    return result;
}

std::u16string SelectAllFrom(WideText className) {
    std::u16string query = u"SELECT * FROM ";
    query.append(className);
    query.resize(std::min(query.size(), kQueryCapacity - 1));
    return query;
}

// Instance names are the device identifier followed by an instance suffix. An empty identifier
// would match every instance, whatever device it belongs to, so it matches none.
bool BelongsToDevice(WideText instanceName, WideText deviceId) {
    return !deviceId.empty() && StartsWithIgnoringAsciiCase(instanceName, deviceId);
}

// Reads the boolean property of the device's instance and writes `value` when asked to.
int AccessProperty(WbemServices* services, WbemObject* instance, WideText propertyName, int value,
                   int clear, std::int32_t* out) {
    PropertyRead property(instance, propertyName);
    if (!property.Holds(VariantType::Boolean)) return 0;
    if (out != nullptr) *out = property.Value().boolean;
    if (value == 0 && clear == 0) return 1;

    property.Value().boolean = static_cast<std::int16_t>(value);
    if (Failed(platform::Put(instance, propertyName, 0, &property.Value(), 0)) ||
        Failed(platform::PutInstance(services, instance, platform::PUT_UPDATE_ONLY, nullptr,
                                     nullptr))) {
        return 0;
    }
    if (out != nullptr) *out = value;
    return 1;
}

}  // namespace

int AdapterWakeSettings::Query(WideText mac) { return Access(mac, 0, 0); }

int AdapterWakeSettings::Update(WideText mac, int enable) {
    return Access(mac, enable, enable == 0 ? 1 : 0);
}

int AdapterWakeSettings::Access(WideText mac, int value, int clear) {
    WbemLocator* locator = nullptr;
    if (Failed(platform::CoCreateInstance(platform::ClassId::WbemLocator, nullptr,
                                          platform::ClassContext::InprocServer,
                                          platform::InterfaceId::WbemLocator, &locator))) {
        return 0;
    }
    WbemServices* cimv2Services = nullptr;
    WbemServices* wmiServices = nullptr;
    WbemEnumerator* adapters = nullptr;
    int result = 0;
    if (Connect(locator, u"ROOT\\CIMV2", &cimv2Services) &&
        Connect(locator, u"ROOT\\WMI", &wmiServices) &&
        Succeeded(platform::ExecQuery(cimv2Services, kQueryLanguage,
                                      u"SELECT * FROM Win32_NetworkAdapter", kQueryFlags, nullptr,
                                      &adapters))) {
        result = ExamineFirstMatch(
            adapters, u"MACAddress",
            [mac](WideText adapterMac) { return EqualsIgnoringAsciiCase(adapterMac, mac); },
            [&](WbemObject* adapter) {
                return ExamineAdapter(adapter, wmiServices, value, clear);
            });
    }
    if (wmiServices != nullptr) platform::Release(wmiServices);
    if (cimv2Services != nullptr) platform::Release(cimv2Services);
    platform::Release(locator);
    if (adapters != nullptr) platform::Release(adapters);
    return result;
}

int AdapterWakeSettings::ExamineAdapter(WbemObject* adapter, WbemServices* wmiServices, int value,
                                        int clear) {
    const PropertyRead adapterIndex(adapter, u"Index");
    if (!adapterIndex.Holds(VariantType::Int32)) return 0;
    index = adapterIndex.Value().int32;

    const PropertyRead adapterType(adapter, u"AdapterTypeID");
    if (!adapterType.Holds(VariantType::Int32)) return 0;
    isEthernet = adapterType.Value().int32 == 0 ? 1 : 0;

    const PropertyRead deviceId(adapter, u"PNPDeviceID");
    if (!deviceId.Holds(VariantType::Text)) return 0;
    KeepPnpDeviceId(deviceId.Value().text);
    return AccessAllSettings(wmiServices, deviceId.Value().text, value, clear);
}

int AdapterWakeSettings::AccessAllSettings(WbemServices* wmiServices, WideText deviceId, int value,
                                           int clear) {
    for (const PowerSetting& setting : kPowerSettings) {
        if (AccessSetting(wmiServices, setting.className, setting.propertyName, deviceId, value,
                          clear, &(this->*setting.field)) == 0) {
            return 0;
        }
    }
    return 1;
}

int AdapterWakeSettings::AccessSetting(WbemServices* services, WideText className,
                                       WideText propertyName, WideText deviceId, int value,
                                       int clear, std::int32_t* out) {
    WbemEnumerator* instances = nullptr;
    if (Failed(platform::ExecQuery(services, kQueryLanguage, SelectAllFrom(className), kQueryFlags,
                                   nullptr, &instances))) {
        return 0;
    }
    const int result = ExamineFirstMatch(
        instances, u"InstanceName",
        [deviceId](WideText instanceName) { return BelongsToDevice(instanceName, deviceId); },
        [&](WbemObject* instance) {
            return AccessProperty(services, instance, propertyName, value, clear, out);
        });
    if (instances != nullptr) platform::Release(instances);
    return result;
}

void AdapterWakeSettings::KeepPnpDeviceId(WideText deviceId) {
    const std::size_t length = std::min(deviceId.size(), pnpDeviceId.size() - 1);
    std::copy_n(deviceId.begin(), length, pnpDeviceId.begin());
    pnpDeviceId[length] = u'\0';
}

WideText AdapterWakeSettings::PnpDeviceIdText() const { return WideText(pnpDeviceId.data()); }
