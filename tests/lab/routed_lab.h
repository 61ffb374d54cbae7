#pragma once

#include <string>

#include "lab.h"

namespace lab {

// A computer on a LAN whose gateway routes to a separate site network:
//
//   computer eth0 10.88.1.20/24 ---- 10.88.1.1/24 eth0 gateway eth1 10.88.2.1/24 ---- site
//                                                                      10.88.2.80/24 eth0
//
// The computer's eth0 also holds 10.88.1.21/24, which the kernel marks secondary, and its
// default route leads through the gateway; the site's name resolves, in the computer's hosts
// file only, to the site's address. Links have fixed hardware addresses.
struct RoutedLab {
    static constexpr const char* kComputer = "pc";
    static constexpr const char* kGateway = "gw";
    static constexpr const char* kSite = "site";
    static constexpr const char* kComputerAddress = "10.88.1.20";
    static constexpr const char* kComputerSecondaryAddress = "10.88.1.21";
    static constexpr const char* kComputerMask = "255.255.255.0";
    static constexpr const char* kComputerMac = "02:00:00:88:01:20";
    static constexpr const char* kGatewayAddress = "10.88.1.1";
    static constexpr const char* kGatewayMac = "02:00:00:88:01:01";
    static constexpr const char* kSiteAddress = "10.88.2.80";

    // Builds the lab in `lab`, whose hosts must not exist yet.
    static void Build(Lab& lab, const std::string& siteName);
};

// The interface index of a link inside a lab host.
int IndexOf(const Lab& lab, const std::string& host, const std::string& link);

}  // namespace lab
