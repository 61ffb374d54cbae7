#include "probe/format_mac.h"

#include <cstdio>

MacText FormatMac(const MacAddress& mac) {
    MacText text{};
    std::snprintf(text.data(), text.size(), "%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", mac[0], mac[1],
                  mac[2], mac[3], mac[4], mac[5]);
    return text;
}
