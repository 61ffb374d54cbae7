#include "platform/linux/wmi_sources.h"

namespace platform::linux_backend {

WmiSources& CurrentWmiSources() {
    static WmiSources sources;
    return sources;
}

}  // namespace platform::linux_backend
