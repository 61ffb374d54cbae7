#include "cli/usage.h"

#include "platform/console.h"

void PrintUsage() {
    platform::printf("Usage: \n");
    platform::printf("\n");
    platform::printf("netrise -info\n");
    platform::printf("    displays information on the networking environment\n");
    platform::printf("\n");
    platform::printf("netrise -query -mac MAC\n");
    platform::printf("    displays WoL settings on this computer for the NIC identified\n");
    platform::printf("    by the MAC address\n");
    platform::printf("\n");
    platform::printf("netrise -set -mac MAC\n");
    platform::printf("    enables WoL on the adapter identified with the MAC address\n");
    platform::printf("\n");
    platform::printf("netrise -clear -mac MAC\n");
    platform::printf("    disables WoL on the adapter identified with the MAC address\n");
    platform::printf("\n");
    platform::printf("netrise -wake [-mac MAC] [-ip IP] [-subnet SUBNET] [-computer COMPUTER]\n");
    platform::printf("    wakes the specified computer\n");
    platform::printf("\n");
}
