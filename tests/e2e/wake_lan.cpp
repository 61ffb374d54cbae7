#include "wake_lan.h"

WakeLan::WakeLan(const std::string& prefix) : lab(std::make_unique<lab::Lab>(prefix)) {
    lab->AddHost("lan");
    lab->AddHost("pc", {{AWAKE_NAME, AWAKE_ADDRESS}, {SLEEPER_NAME, SLEEPER_ADDRESS}});
    lab->AddHost("awake");
    lab->AddHost("sleeper");
    for (const char* host : {"lan", "pc", "awake", "sleeper"}) {
        lab->Shell(host,
                   "sysctl -qw net.ipv6.conf.all.disable_ipv6=1 "
                   "net.ipv6.conf.default.disable_ipv6=1");
    }
    lab->Shell("sleeper", "sysctl -qw net.ipv4.conf.all.arp_ignore=8");
    lab->AddBridge("lan", "br0");
    lab->ConnectToBridge("pc", LINK, std::string(PC_ADDRESS) + "/24", PC_MAC, "lan", "br0");
    lab->ConnectToBridge("awake", LINK, std::string(AWAKE_ADDRESS) + "/24", AWAKE_MAC, "lan",
                         "br0");
    lab->ConnectToBridge("sleeper", LINK, std::string(SLEEPER_ADDRESS) + "/24", SLEEPER_MAC, "lan",
                         "br0");
}

void WakeLan::ForgetNeighbours() const {
    lab->Shell("pc", std::string("ip neigh flush dev ") + LINK);
}
