#include "routed_lab.h"

#include <stdexcept>

namespace lab {

void RoutedLab::Build(Lab& lab, const std::string& siteName) {
    lab.AddHost(kComputer, {{siteName, kSiteAddress}});
    lab.AddHost(kGateway);
    lab.AddHost(kSite);
    lab.AddVeth(kComputer, "eth0", std::string(kComputerAddress) + "/24", kGateway, "eth0",
                std::string(kGatewayAddress) + "/24", kComputerMac, kGatewayMac);
    lab.AddVeth(kGateway, "eth1", "10.88.2.1/24", kSite, "eth0", std::string(kSiteAddress) + "/24");
    lab.Shell(kComputer, std::string("ip addr add ") + kComputerSecondaryAddress +
                             "/24 dev eth0 && ip route add default via " + kGatewayAddress);
    lab.Shell(kGateway, "sysctl -qw net.ipv4.ip_forward=1");
    lab.Shell(kSite, "ip route add default via 10.88.2.1");
}

int IndexOf(const Lab& lab, const std::string& host, const std::string& link) {
    const RunResult result = lab.RunIn(host, {"cat", "/sys/class/net/" + link + "/ifindex"});
    if (result.status != 0) throw std::runtime_error("no link " + link + " in " + host);
    return std::stoi(result.output);
}

}  // namespace lab
