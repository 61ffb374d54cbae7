#include "probe/info_command.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "call_log.h"
#include "case_name.h"
#include "cli/program.h"
#include "fake_console.h"
#include "fake_iphlpapi.h"
#include "fake_kernel.h"
#include "fake_winsock.h"
#include "info_world.h"
#include "probe/format_mac.h"
#include "probe/network_environment.h"
#include "probe/site_host.h"
#include "reset.h"

namespace {

std::string Report(const std::string& computerName, const std::string& nextHopMac) {
    return "  Our computer name ...................." + computerName +
           "\n"
           "  Internet site ....................... " +
           std::string(SITE_HOST) +
           "\n"
           "  Internet site address ............... 93.184.216.34\n"
           "  Interface used to access site ....... 7\n"
           "*     MAC address for interface ....... 00:1a:2b:3c:4d:5e\n"
           "*     Local IP address on interface ... 192.168.1.20\n"
           "*     Local subnet mask on interface .. 255.255.255.0\n"
           "* Next hop to site .................... 192.168.1.1\n"
           "*     MAC address for next hop ........ " +
           nextHopMac +
           "\n"
           "\n"
           "The asterisk indicates fields that must be sent to the cloud for WoL.\n"
           "\n";
}

class InfoCommandTest : public testing::Test {
  protected:
    void SetUp() override { ScriptHealthyEnvironment(); }
};

TEST_F(InfoCommandTest, PrintsTheReportByteForByte) {
    RunInfoCommand();
    EXPECT_EQ(fake::console, Report("WORKSTATION-7", "00:11:22:33:44:55"));
    EXPECT_EQ(fake::calls,
              (std::vector<std::string>{
                  "getaddrinfo(" + std::string(SITE_HOST) + ", family 2)", "freeaddrinfo()",
                  "GetBestInterface(93.184.216.34)", "GetIfEntry(7)", "GetIpAddrTable(4, unsorted)",
                  "GetIpAddrTable(76, unsorted)", "GetBestRoute(93.184.216.34, 0.0.0.0)",
                  "SendARP(192.168.1.1, 0.0.0.0, 8)", "GetComputerNameA(16)"}));
    EXPECT_EQ(fake::winsock.openAddressLists, 0);
}

TEST_F(InfoCommandTest, IsTheCommandThatInfoRuns) {
    const std::vector<std::u16string> storage = {u"netrise", u"-info"};
    const std::vector<WideText> arguments(storage.begin(), storage.end());
    EXPECT_EQ(RunProgram(arguments), 0);
    EXPECT_EQ(fake::console, Report("WORKSTATION-7", "00:11:22:33:44:55"));
}

TEST_F(InfoCommandTest, FirstPrimaryRowOfTheInterfaceWins) {
    fake::iphlpapi.addressRows.push_back(Row("10.9.9.9", kInterface, "255.255.0.0", kPrimary));
    RunInfoCommand();
    EXPECT_EQ(fake::console, Report("WORKSTATION-7", "00:11:22:33:44:55"));
}

// A next hop that does not answer is not a failure: the report follows with a zero MAC, and the
// last-error value is left as it was.
TEST_F(InfoCommandTest, UnansweredArpPrintsItsLineThenTheReportWithZeros) {
    fake::iphlpapi.arpReplies.clear();
    fake::kernel.lastError = 1234;
    RunInfoCommand();
    EXPECT_EQ(fake::console, "Cannot get next hop MAC, return code 67\n" +
                                 Report("WORKSTATION-7", "00:00:00:00:00:00"));
    EXPECT_TRUE(fake::CallsNamed("SetLastError").empty());
    EXPECT_EQ(fake::kernel.lastError, 1234u);
}

TEST_F(InfoCommandTest, FailedArpThatLeftBytesBehindStillShowsZeros) {
    fake::iphlpapi.arpReplies[Address("192.168.1.1")] = {31, {0xde, 0xad, 0xbe, 0xef, 0x00, 0x01}};
    RunInfoCommand();
    EXPECT_EQ(fake::console, "Cannot get next hop MAC, return code 31\n" +
                                 Report("WORKSTATION-7", "00:00:00:00:00:00"));
}

struct ArpLengthCase {
    const char* name;
    std::vector<std::uint8_t> reply;
    const char* shown;
};

void PrintTo(const ArpLengthCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class ArpReplyLengthTest : public testing::TestWithParam<ArpLengthCase> {
  protected:
    void SetUp() override { ScriptHealthyEnvironment(); }
};

TEST_P(ArpReplyLengthTest, ShowsTheFirstSixBytesOfTheBuffer) {
    fake::iphlpapi.arpReplies[Address("192.168.1.1")] = {0, GetParam().reply};
    RunInfoCommand();
    EXPECT_EQ(fake::console, Report("WORKSTATION-7", GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    NextHopMac, ArpReplyLengthTest,
    testing::Values(ArpLengthCase{"Longer", {1, 2, 3, 4, 5, 6, 7, 8}, "01:02:03:04:05:06"},
                    ArpLengthCase{"Shorter", {0xaa, 0xbb, 0xcc, 0xdd}, "aa:bb:cc:dd:00:00"}),
    CaseName());

struct ComputerNameCase {
    const char* name;
    std::string computerName;
    std::string shown;
};

void PrintTo(const ComputerNameCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class ComputerNameTest : public testing::TestWithParam<ComputerNameCase> {
  protected:
    void SetUp() override { ScriptHealthyEnvironment(); }
};

// The name query's result is not examined: a name that does not fit leaves the field empty and
// the report is still printed.
TEST_P(ComputerNameTest, IsShownAsTheQueryLeftIt) {
    fake::kernel.computerName = GetParam().computerName;
    RunInfoCommand();
    EXPECT_EQ(fake::console, Report(GetParam().shown, "00:11:22:33:44:55"));
}

INSTANTIATE_TEST_SUITE_P(
    Report, ComputerNameTest,
    testing::Values(ComputerNameCase{"FifteenCharacters", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},
                    ComputerNameCase{"TooLongLeavesItEmpty", "ABCDEFGHIJKLMNOP", ""}),
    CaseName());

struct FailureCase {
    const char* name;
    std::function<void()> script;
    std::string line;
    std::uint32_t lastError;
};

void PrintTo(const FailureCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class GatherFailureTest : public testing::TestWithParam<FailureCase> {
  protected:
    void SetUp() override { ScriptHealthyEnvironment(); }
};

// Each failing step prints its own line, releases what it holds, sets the last-error value as its
// last action, and the command reads it back at once for the closing line: no partial report.
TEST_P(GatherFailureTest, PrintsTheStepThenTheClosingLineWithTheLastError) {
    GetParam().script();
    RunInfoCommand();
    EXPECT_EQ(fake::console, GetParam().line + "Can't get WoL data, error " +
                                 std::to_string(GetParam().lastError) + "\n");
    ASSERT_GE(fake::calls.size(), 2u);
    EXPECT_EQ(fake::calls[fake::calls.size() - 2],
              "SetLastError(" + std::to_string(GetParam().lastError) + ")");
    EXPECT_EQ(fake::calls.back(), "GetLastError()");
    EXPECT_EQ(fake::winsock.openAddressLists, 0);
}

const std::string kSite = SITE_HOST;

void AddressRowsOnlyOf(std::vector<platform::MibIpAddrRow> rows) {
    fake::iphlpapi.addressRows = std::move(rows);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Gather, GatherFailureTest, testing::Values(
    FailureCase{"SiteDoesNotResolve", [] { fake::winsock.names.clear(); },
                "Cannot determine address for internet target " + kSite + ", return code 11001\n",
                11001},
    FailureCase{"ResolverFailsTemporarily",
                [] { fake::winsock.names[SITE_HOST].result = 11002; },
                "Cannot determine address for internet target " + kSite + ", return code 11002\n",
                11002},
    FailureCase{"SiteResolvesToAnotherFamily",
                [] { fake::winsock.names[SITE_HOST].family = platform::FAMILY_INET6; },
                "Cannot determine address for internet target " + kSite + ", ai_family is 23\n",
                10049},
    FailureCase{"NoBestInterface", [] { fake::iphlpapi.bestInterfaceResult = 1231; },
                "Cannot determine best iface, return code 1231\n", 1231},
    FailureCase{"NoInterfaceEntry", [] { fake::iphlpapi.ifEntryResult = 2; },
                "Cannot determine iface properties, return code 2\n", 2},
    FailureCase{"InterfaceWithoutHardwareAddress", [] { fake::iphlpapi.physicalAddress = {}; },
                "Unexpected physaddr len: 0\n", 59},
    FailureCase{"InterfaceWithEightByteAddress",
                [] { fake::iphlpapi.physicalAddress = {1, 2, 3, 4, 5, 6, 7, 8}; },
                "Unexpected physaddr len: 8\n", 59},
    FailureCase{"AddressTableFirstCallFails",
                [] { fake::iphlpapi.addressTableFailures = {87}; },
                "Cannot get ip address table, return code 87\n", 87},
    FailureCase{"AddressTableSecondCallFails",
                [] { fake::iphlpapi.addressTableFailures = {122, 8}; },
                "Cannot get ip address table, return code 8\n", 8},
    FailureCase{"AddressTableGrowsBetweenTheCalls",
                [] { fake::iphlpapi.rowsAddedPerCall = {Row("10.1.1.1", 3, "255.0.0.0", kPrimary)}; },
                "Cannot get ip address table, return code 122\n", 122},
    FailureCase{"InterfaceHasOnlySecondaryAddresses",
                [] { AddressRowsOnlyOf({Row("127.0.0.1", kOtherInterface, "255.0.0.0", kPrimary),
                                        Row("192.168.1.77", kInterface, "255.255.255.0", kSecondary),
                                        Row("192.168.1.78", kInterface, "255.255.255.0", kSecondary)}); },
                "Got 3 addresses but can't find IP for our iface\n", 59},
    FailureCase{"EmptyAddressTable", [] { AddressRowsOnlyOf({}); },
                "Got 0 addresses but can't find IP for our iface\n", 59},
    FailureCase{"NoBestRoute", [] { fake::iphlpapi.bestRouteResult = 1232; },
                "Cannot get best route, return code 1232\n", 1232}
), CaseName());
// clang-format on

TEST_F(InfoCommandTest, TableThatKeepsGrowingIsAskedForExactlyTwice) {
    fake::iphlpapi.rowsAddedPerCall = {Row("10.1.1.1", 3, "255.0.0.0", kPrimary)};
    RunInfoCommand();
    EXPECT_EQ(
        fake::CallsNamed("GetIpAddrTable"),
        (std::vector<std::string>{"GetIpAddrTable(4, unsorted)", "GetIpAddrTable(76, unsorted)"}));
}

TEST(NetworkEnvironmentTest, StartsWithNoFacts) {
    const NetworkEnvironment environment;
    EXPECT_EQ(environment.siteAddress, IPV4_NONE);
    EXPECT_EQ(environment.interfaceIndex, -1);
    EXPECT_EQ(environment.interfaceMac, MacAddress{});
    EXPECT_EQ(environment.interfaceMacText, MacText{});
    EXPECT_EQ(environment.localAddress, IPV4_NONE);
    EXPECT_EQ(environment.localMask, IPV4_NONE);
    EXPECT_EQ(environment.nextHop, IPV4_NONE);
    EXPECT_EQ(environment.nextHopMac, MacAddress{});
    EXPECT_EQ(environment.nextHopMacText, MacText{});
    EXPECT_EQ(environment.computerName, (std::array<char, 16>{}));
}

struct FormatMacCase {
    const char* name;
    MacAddress mac;
    const char* text;
};

void PrintTo(const FormatMacCase& testCase, std::ostream* stream) { *stream << testCase.name; }

class FormatMacTest : public testing::TestWithParam<FormatMacCase> {};

TEST_P(FormatMacTest, WritesLowerCasePairsJoinedByColons) {
    const MacText text = FormatMac(GetParam().mac);
    EXPECT_STREQ(text.data(), GetParam().text);
    EXPECT_EQ(text[17], '\0');
}

INSTANTIATE_TEST_SUITE_P(Mac, FormatMacTest,
                         testing::Values(FormatMacCase{"LeadingZerosKept",
                                                       {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e},
                                                       "00:1a:2b:3c:4d:5e"},
                                         FormatMacCase{"AllOnes",
                                                       {0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
                                                       "ff:ff:ff:ff:ff:ff"},
                                         FormatMacCase{"Zero", {}, "00:00:00:00:00:00"}),
                         CaseName());

}  // namespace
