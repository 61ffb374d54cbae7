#pragma once

#include <array>
#include <cstdint>

#include "platform/wide_text.h"
#include "platform/wmi.h"

// One network adapter, found by its hardware address through the management service, and its
// three wake-related power settings. The record lives for one command and owns nothing.
struct AdapterWakeSettings {
    std::int32_t index = -1;
    std::int32_t isEthernet = 0;
    // Each setting holds its value as last read (-1 true, 0 false) or as last written (1 or 0).
    std::int32_t powerManagementEnabled = 0;
    std::int32_t wakeEnabled = 0;
    std::int32_t wakeRestricted = 0;
    std::array<WideChar, 256> pnpDeviceId{};

    // 1 when the adapter was found and its three settings read; 0 otherwise.
    int Query(WideText mac);
    // Writes `enable` (1 or 0) into all three settings; 1 when all three were written.
    int Update(WideText mac, int enable);
    int Access(WideText mac, int value, int clear);

    // Reads one boolean property of the instance of `className` that belongs to the device and,
    // when `value` or `clear` is non-zero, writes `value` into it. `out` may be null.
    static int AccessSetting(platform::WbemServices* services, WideText className,
                             WideText propertyName, WideText deviceId, int value, int clear,
                             std::int32_t* out);

    WideText PnpDeviceIdText() const;

  private:
    int ExamineAdapter(platform::WbemObject* adapter, platform::WbemServices* wmiServices,
                       int value, int clear);
    int AccessAllSettings(platform::WbemServices* wmiServices, WideText deviceId, int value,
                          int clear);
    void KeepPnpDeviceId(WideText deviceId);
};
