#include "reset.h"

#include "call_log.h"
#include "fake_com.h"
#include "fake_console.h"
#include "fake_iphlpapi.h"
#include "fake_kernel.h"
#include "fake_winsock.h"
#include "fake_wmi.h"

namespace fake {

void Reset() {
    calls.clear();
    console = {};
    com = {};
    iphlpapi = {};
    kernel = {};
    winsock = {};
    wmi = {};
}

}  // namespace fake
