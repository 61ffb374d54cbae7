#pragma once

#include "platform/wide_text.h"
#include "platform/wmi.h"

// One property read from a management object. The value is cleared when the read goes out of
// scope, and only when the read filled it, so every path out of a caller clears what it read.
class PropertyRead {
  public:
    PropertyRead(platform::WbemObject* object, WideText name);
    ~PropertyRead();
    PropertyRead(const PropertyRead&) = delete;
    PropertyRead& operator=(const PropertyRead&) = delete;

    // True when the read succeeded and the value has this type.
    bool Holds(platform::VariantType type) const;
    platform::Variant& Value() { return value_; }
    const platform::Variant& Value() const { return value_; }

  private:
    platform::Variant value_;
    bool filled_;
};
