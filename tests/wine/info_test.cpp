#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <regex>
#include <string>

#include "lab.h"
#include "routed_lab.h"
#include "wine.h"

// netrise.exe -info under Wine in the routed lab. Wine answers the IP Helper calls from the
// namespace it runs in, but its SendARP is a stub that answers 50 (ERROR_NOT_SUPPORTED): the
// report follows that line with a zero next-hop MAC.
namespace {

using lab::RoutedLab;

// Wine names the computer after the machine, not the lab: only the name's form is kept.
std::string WithComputerNameMasked(const std::string& output) {
    static const std::regex name("(  Our computer name \\.{20})[A-Z0-9-]{1,15}\r\n");
    return std::regex_replace(output, name, "$1NAME\r\n");
}

class InfoUnderWineTest : public testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
        if (!lab::WineAvailable()) GTEST_SKIP() << "wine is not installed";
        lab_ = std::make_unique<lab::Lab>("nrpw");
        RoutedLab::Build(*lab_, NETRISE_SITE_HOST);
        wine_ = std::make_unique<lab::WineRunner>(*lab_, RoutedLab::kComputer);
    }

    std::unique_ptr<lab::Lab> lab_;
    std::unique_ptr<lab::WineRunner> wine_;  // stopped before the lab goes
};

TEST_F(InfoUnderWineTest, ReportsTheLabsInterfaceAddressMaskAndNextHop) {
    const lab::RunResult result = wine_->Run(NETRISE_EXE, {"-info"});
    EXPECT_EQ(result.status, 0) << result.errors;
    const std::string expected =
        std::string("Cannot get next hop MAC, return code 50\r\n") +
        "  Our computer name ....................NAME\r\n"
        "  Internet site ....................... " NETRISE_SITE_HOST
        "\r\n"
        "  Internet site address ............... " +
        RoutedLab::kSiteAddress + "\r\n  Interface used to access site ....... " +
        std::to_string(lab::IndexOf(*lab_, RoutedLab::kComputer, "eth0")) +
        "\r\n*     MAC address for interface ....... " + RoutedLab::kComputerMac +
        "\r\n*     Local IP address on interface ... " + RoutedLab::kComputerAddress +
        "\r\n*     Local subnet mask on interface .. " + RoutedLab::kComputerMask +
        "\r\n* Next hop to site .................... " + RoutedLab::kGatewayAddress +
        "\r\n*     MAC address for next hop ........ 00:00:00:00:00:00\r\n"
        "\r\n"
        "The asterisk indicates fields that must be sent to the cloud for WoL.\r\n"
        "\r\n";
    EXPECT_EQ(WithComputerNameMasked(result.output), expected);
}

// Both builds report a missing route with the same number.
TEST_F(InfoUnderWineTest, NoRouteToTheSiteFailsAtTheBestInterface) {
    lab_->Shell(RoutedLab::kComputer, "ip route del default");
    const lab::RunResult result = wine_->Run(NETRISE_EXE, {"-info"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(
        result.output,
        "Cannot determine best iface, return code 1232\r\nCan't get WoL data, error 1232\r\n");
}

}  // namespace
