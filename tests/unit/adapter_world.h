#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_wmi.h"
#include "reset.h"

// A computer with three network adapters as the management service lists them:
//   #0 a software adapter without a hardware address;
//   #1 the Ethernet adapter kEthernetMac, index 7, its three settings all on;
//   #2 the wireless adapter kWirelessMac, index 9, wake off, the other two on.
// The power classes list the wireless adapter's instances first, and the Ethernet adapter's
// instance names in lower case, so matching has to skip and fold.
inline constexpr WideText kEthernetMac = u"00:1A:2B:3C:4D:5E";
inline constexpr WideText kWirelessMac = u"00:1A:2B:3C:4D:5F";
inline const std::u16string kEthernetPnp =
    u"PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086\\3&267A616A&0&18";
inline const std::u16string kWirelessPnp = u"PCI\\VEN_168C&DEV_002B\\4&1A2B3C4D&0&00E1";

inline const std::u16string kPowerEnable = u"MSPower_DeviceEnable";
inline const std::u16string kWakeEnable = u"MSPower_DeviceWakeEnable";
inline const std::u16string kMagicOnly = u"MSNdis_DeviceWakeOnMagicPacketOnly";
inline const std::u16string kMagicOnlyProperty = u"EnableWakeOnMagicPacketOnly";

inline fake::Properties Adapter(platform::Variant mac, platform::Variant index,
                                platform::Variant type, platform::Variant pnp) {
    return {{u"MACAddress", mac},
            {u"Index", index},
            {u"AdapterTypeID", type},
            {u"PNPDeviceID", pnp},
            {u"Name", fake::Text(u"an adapter")}};
}

inline fake::Properties PowerInstance(const std::u16string& instanceName,
                                      const std::u16string& property, bool on) {
    return {{u"InstanceName", fake::Text(instanceName)},
            {u"Active", fake::Boolean(true)},
            {property, fake::Boolean(on)}};
}

inline std::u16string Lower(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

inline void BuildAdapterWorld() {
    fake::Reset();
    fake::wmi.namespaces[u"ROOT\\CIMV2"][u"Win32_NetworkAdapter"] = {
        Adapter(fake::Null(), fake::Int32(1), fake::Null(), fake::Text(u"ROOT\\SWD\\0000")),
        Adapter(fake::Text(std::u16string(kEthernetMac)), fake::Int32(7), fake::Int32(0),
                fake::Text(kEthernetPnp)),
        Adapter(fake::Text(std::u16string(kWirelessMac)), fake::Int32(9), fake::Int32(9),
                fake::Text(kWirelessPnp)),
    };
    fake::WmiClasses& wmi = fake::wmi.namespaces[u"ROOT\\WMI"];
    const std::u16string ethernet = Lower(kEthernetPnp) + u"_0";
    const std::u16string wireless = kWirelessPnp + u"_0";
    wmi[kPowerEnable] = {PowerInstance(wireless, u"Enable", true),
                         PowerInstance(ethernet, u"Enable", true)};
    wmi[kWakeEnable] = {PowerInstance(wireless, u"Enable", false),
                        PowerInstance(ethernet, u"Enable", true)};
    wmi[kMagicOnly] = {PowerInstance(wireless, kMagicOnlyProperty, true),
                       PowerInstance(ethernet, kMagicOnlyProperty, true)};
}

// The boolean an instance of the Ethernet adapter's power class now holds, as stored.
inline std::int16_t StoredEthernetSetting(const std::u16string& className) {
    const auto& instances = fake::wmi.namespaces[u"ROOT\\WMI"][className];
    const std::u16string& property = className == kMagicOnly ? kMagicOnlyProperty : u"Enable";
    return instances.at(1).at(property).boolean;
}

// Every interface obtained was released, every value filled was cleared, nothing misused.
inline void ExpectEverythingReleased() {
    std::string held;
    for (const auto& [handle, name] : fake::wmi.held) held += name + " ";
    EXPECT_EQ(held, "") << "interfaces not released";
    EXPECT_TRUE(fake::wmi.filled.empty()) << fake::wmi.filled.size() << " values not cleared";
    EXPECT_TRUE(fake::wmi.faults.empty()) << fake::wmi.faults.front();
}
