#pragma once

// The SDK's IP Helper headers pull in a network access protection header that declares a type
// named Ipv4Address of its own; it is renamed while they are read, so that the program's
// Ipv4Address keeps its name in the same translation unit.
#define Ipv4Address SdkNapIpv4Address
#include <winsock2.h>

#include <iphlpapi.h>
#undef Ipv4Address
