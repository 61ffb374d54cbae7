#pragma once

#include <memory>
#include <string>

#include "lab.h"

// The LAN on which the wake tests and the benchmark run: a bridge joining the computer that runs
// netrise ("pc"), a computer that is awake ("awake") and one that sleeps ("sleeper": it never
// answers ARP, yet still receives every frame sent to it). IPv6 is off, so that only the traffic
// under test crosses the LAN. The pc's hosts file names both targets.
struct WakeLan {
    static constexpr const char* SUBNET_MASK = "255.255.255.0";
    static constexpr const char* SUBNET_BROADCAST = "10.88.0.255";
    static constexpr const char* NETWORK_ADDRESS = "10.88.0.0";
    static constexpr const char* PC_ADDRESS = "10.88.0.1";
    static constexpr const char* PC_MAC = "02:00:00:88:00:01";
    static constexpr const char* AWAKE_ADDRESS = "10.88.0.2";
    static constexpr const char* AWAKE_MAC = "02:00:00:88:00:02";
    static constexpr const char* AWAKE_NAME = "awake.lab";
    static constexpr const char* SLEEPER_ADDRESS = "10.88.0.3";
    static constexpr const char* SLEEPER_MAC = "02:00:00:88:00:03";
    static constexpr const char* SLEEPER_NAME = "sleeper.lab";
    static constexpr const char* LINK = "eth0";

    // Builds the LAN in namespaces named "<prefix>-...".
    explicit WakeLan(const std::string& prefix);

    // Empties the pc's neighbour table, so that the next run has to ask by ARP again.
    void ForgetNeighbours() const;

    std::unique_ptr<lab::Lab> lab;
};
