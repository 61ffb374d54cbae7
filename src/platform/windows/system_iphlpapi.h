#pragma once

// The system's IP Helper header, beside the program's own types: through ras.h it declares a
// network-access-protection type named Ipv4Address, which is renamed here so that it cannot
// clash with the program's address type.
#include <winsock2.h>
#define Ipv4Address SystemNapIpv4Address
#include <iphlpapi.h>
#undef Ipv4Address
