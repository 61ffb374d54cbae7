#include "adapter/property_read.h"

PropertyRead::PropertyRead(platform::WbemObject* object, WideText name)
    : filled_(platform::Succeeded(platform::Get(object, name, 0, &value_, nullptr, nullptr))) {}

PropertyRead::~PropertyRead() {
    if (filled_) platform::VariantClear(&value_);
}

bool PropertyRead::Holds(platform::VariantType type) const {
    return filled_ && value_.type == type;
}
