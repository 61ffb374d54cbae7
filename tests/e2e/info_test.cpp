#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <ostream>
#include <string>

#include "case_name.h"
#include "lab.h"
#include "routed_lab.h"

// The real Linux binary's -info in a routed lab: every fact of the report is checked against
// the lab's own addresses, indexes and hardware addresses.
namespace {

using lab::RoutedLab;

const std::string kSiteName = NETRISE_SITE_HOST;

// The lab's name for the computer, longer than the 15 characters a computer name keeps.
const std::string kHostName = "probe-computer-one";
const std::string kComputerName = "PROBE-COMPUTER-";

class InfoLabTest : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
        lab_ = std::make_unique<lab::Lab>("nrp");
        RoutedLab::Build(*lab_, kSiteName);
    }

    lab::RunResult RunInfo() const {
        return lab_->RunIn(RoutedLab::kComputer,
                           {"unshare", "--uts", "sh", "-c", "hostname \"$1\" && exec \"$2\" -info",
                            "sh", kHostName, NETRISE_BINARY});
    }

    std::string Report(const std::string& siteAddress, const std::string& nextHop,
                       const std::string& nextHopMac) const {
        return "  Our computer name ...................." + kComputerName +
               "\n"
               "  Internet site ....................... " +
               kSiteName + "\n  Internet site address ............... " + siteAddress +
               "\n  Interface used to access site ....... " +
               std::to_string(lab::IndexOf(*lab_, RoutedLab::kComputer, "eth0")) +
               "\n*     MAC address for interface ....... " + RoutedLab::kComputerMac +
               "\n*     Local IP address on interface ... " + RoutedLab::kComputerAddress +
               "\n*     Local subnet mask on interface .. " + RoutedLab::kComputerMask +
               "\n* Next hop to site .................... " + nextHop +
               "\n*     MAC address for next hop ........ " + nextHopMac +
               "\n"
               "\n"
               "The asterisk indicates fields that must be sent to the cloud for WoL.\n"
               "\n";
    }

    std::unique_ptr<lab::Lab> lab_;
};

TEST_F(InfoLabTest, ReportsTheLabsInterfaceAddressGatewayAndGatewayMac) {
    const lab::RunResult result = RunInfo();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output,
              Report(RoutedLab::kSiteAddress, RoutedLab::kGatewayAddress, RoutedLab::kGatewayMac));
}

TEST_F(InfoLabTest, GatewayThatDoesNotAnswerArpLeavesItsMacZero) {
    lab_->Shell(RoutedLab::kGateway, "sysctl -qw net.ipv4.conf.eth0.arp_ignore=8");
    lab_->Shell(RoutedLab::kComputer, "sysctl -qw net.ipv4.neigh.eth0.retrans_time_ms=100");
    const lab::RunResult result = RunInfo();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output,
              "Cannot get next hop MAC, return code 67\n" +
                  Report(RoutedLab::kSiteAddress, RoutedLab::kGatewayAddress, "00:00:00:00:00:00"));
}

// A site on the computer's own subnet is reached directly, with no route through a gateway:
// the next hop is the site itself.
TEST_F(InfoLabTest, SiteOnTheLocalSubnetIsItsOwnNextHop) {
    lab_->Shell(RoutedLab::kComputer, "ip route del default");
    lab_->SetHostsEntries(RoutedLab::kComputer, {{kSiteName, RoutedLab::kGatewayAddress}});
    const lab::RunResult result = RunInfo();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output, Report(RoutedLab::kGatewayAddress, RoutedLab::kGatewayAddress,
                                    RoutedLab::kGatewayMac));
}

struct FailureCase {
    const char* name;
    const char* computerCommand;  // run in the computer's namespace before the probe
    bool siteNameKnown;
    std::string output;
};

void PrintTo(const FailureCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class InfoLabFailureTest : public InfoLabTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(InfoLabFailureTest, PrintsTheFailingStepAndItsError) {
    lab_->Shell(RoutedLab::kComputer, GetParam().computerCommand);
    if (!GetParam().siteNameKnown) lab_->SetHostsEntries(RoutedLab::kComputer, {});
    const lab::RunResult result = RunInfo();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output, GetParam().output);
    EXPECT_LT(result.elapsed.count(), 1.0) << "a failing probe must not wait for the network";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lab, InfoLabFailureTest, testing::Values(
    FailureCase{"SiteNameMissingFromHostsFile", "true", false,
                "Cannot determine address for internet target " + kSiteName +
                    ", return code 11001\nCan't get WoL data, error 11001\n"},
    FailureCase{"NoDefaultRoute", "ip route del default", true,
                "Cannot determine best iface, return code 1232\n"
                "Can't get WoL data, error 1232\n"},
    FailureCase{"TunLinkWithoutHardwareAddressCarriesTheRoute",
                "ip tuntap add mode tun name tun0 && ip addr add 10.88.3.2/24 dev tun0 && "
                "ip link set tun0 up && ip route add 10.88.2.0/24 dev tun0",
                true, "Unexpected physaddr len: 0\nCan't get WoL data, error 59\n"}
), CaseName());
// clang-format on

}  // namespace
