#include "cli/program.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "call_log.h"
#include "case_name.h"
#include "fake_com.h"
#include "fake_console.h"
#include "fake_winsock.h"
#include "reset.h"

namespace {

const std::string kUsage =
    "Usage: \n"
    "\n"
    "netrise -info\n"
    "    displays information on the networking environment\n"
    "\n"
    "netrise -query -mac MAC\n"
    "    displays WoL settings on this computer for the NIC identified\n"
    "    by the MAC address\n"
    "\n"
    "netrise -set -mac MAC\n"
    "    enables WoL on the adapter identified with the MAC address\n"
    "\n"
    "netrise -clear -mac MAC\n"
    "    disables WoL on the adapter identified with the MAC address\n"
    "\n"
    "netrise -wake [-mac MAC] [-ip IP] [-subnet SUBNET] [-computer COMPUTER]\n"
    "    wakes the specified computer\n"
    "\n";

const std::string kCoInitializeEx = "CoInitializeEx(null, COINIT_MULTITHREADED)";
const std::string kCoInitializeSecurity =
    "CoInitializeSecurity(null, -1, null, null, RPC_C_AUTHN_LEVEL_DEFAULT, "
    "RPC_C_IMP_LEVEL_IMPERSONATE, null, EOAC_NONE, null)";

class ProgramTest : public testing::Test {
  protected:
    void SetUp() override { fake::Reset(); }

    static int Run(std::vector<std::u16string> storage) {
        const std::vector<WideText> arguments(storage.begin(), storage.end());
        return RunProgram(arguments);
    }
};

TEST_F(ProgramTest, NoArgumentsPrintsUsageBetweenStartUpAndShutDown) {
    EXPECT_EQ(Run({u"netrise"}), 0);
    EXPECT_EQ(fake::console, kUsage);
    EXPECT_EQ(fake::calls, (std::vector<std::string>{"WSAStartup(2.0)", kCoInitializeEx,
                                                     kCoInitializeSecurity, "CoUninitialize()"}));
}

TEST_F(ProgramTest, ProgramPathIsNotScanned) {
    EXPECT_EQ(Run({u"-info"}), 0);
    EXPECT_EQ(fake::console, kUsage);
}

TEST_F(ProgramTest, CoInitializeExFailureStopsWithoutShutDown) {
    fake::com.coInitializeExResult = static_cast<platform::HResult>(0x80004005);
    EXPECT_EQ(Run({u"netrise", u"-wake"}), 1);
    EXPECT_EQ(fake::console, "Can't init COM, wtf?\n");
    EXPECT_EQ(fake::calls, (std::vector<std::string>{"WSAStartup(2.0)", kCoInitializeEx}));
}

TEST_F(ProgramTest, CoInitializeSecurityFailureShutsComDown) {
    fake::com.coInitializeSecurityResult = static_cast<platform::HResult>(0x80010119);
    EXPECT_EQ(Run({u"netrise"}), 1);
    EXPECT_EQ(fake::console, "Can't init COM, wtf?\n");
    EXPECT_EQ(fake::calls, (std::vector<std::string>{"WSAStartup(2.0)", kCoInitializeEx,
                                                     kCoInitializeSecurity, "CoUninitialize()"}));
}

TEST_F(ProgramTest, PositiveComResultsCountAsSuccess) {
    fake::com.coInitializeExResult = 1;  // S_FALSE: COM was already started on this thread
    fake::com.coInitializeSecurityResult = 1;
    EXPECT_EQ(Run({u"netrise"}), 0);
    EXPECT_EQ(fake::console, kUsage);
}

// A mebibyte in one argument, more than either system hands to a program (Linux passes at most
// 128 KiB, Windows a 32 Ki-character command line), as the value of each value word and as a
// word of its own: each command takes the whole text and treats it by its own rules.
constexpr std::size_t kMebibyte = std::size_t{1} << 20;

std::u16string Mebibyte(const std::u16string& start) {
    return start + std::u16string(kMebibyte - start.size(), u'x');
}

constexpr std::string_view kLookupCall = "getaddrinfo(";

// What reached the sockets layer and the IP Helper interface, in order.
std::vector<std::string> Traffic() {
    std::vector<std::string> traffic;
    std::size_t datagram = 0;
    for (const std::string& call : fake::calls) {
        if (call.starts_with(kLookupCall)) {
            const std::size_t nameLength = call.rfind(", family") - kLookupCall.size();
            traffic.push_back("lookup of " + std::to_string(nameLength) + " bytes");
        } else if (call.starts_with("SendARP(")) {
            traffic.push_back("ARP request");
        } else if (call.starts_with("sendto(")) {
            traffic.push_back(std::to_string(fake::winsock.sent.at(datagram++).bytes.size()) +
                              " bytes");
        }
    }
    return traffic;
}

struct LongArgumentCase {
    const char* name;
    std::vector<std::u16string> arguments;
    std::string console;
    std::vector<std::string> traffic;
};

// A failing row is named by its name, not by a dump of its bytes.
void PrintTo(const LongArgumentCase& row, std::ostream* out) { *out << row.name; }

class LongArgumentTest : public ProgramTest,
                         public testing::WithParamInterface<LongArgumentCase> {};

TEST_P(LongArgumentTest, WholeTextIsTakenAndJudged) {
    const LongArgumentCase& row = GetParam();
    EXPECT_EQ(Run(row.arguments), 0);
    EXPECT_TRUE(fake::console == row.console)
        << fake::console.size() << " bytes: " << fake::console.substr(0, 200);
    EXPECT_EQ(Traffic(), row.traffic);
}

const std::u16string kMac = u"00:11:22:33:44:55";
const std::string kArpAndDirectLines = "Sent ARP request.\nSent a direct packet.\n";
const std::vector<std::string> kArpAndDirect = {"ARP request", "32 bytes"};

INSTANTIATE_TEST_SUITE_P(
    , LongArgumentTest,
    testing::Values(LongArgumentCase{"Mac",
                                     {u"netrise", u"-wake", u"-mac", Mebibyte(kMac), u"-ip",
                                      u"10.0.0.7", u"-subnet", u"255.255.255.0"},
                                     kArpAndDirectLines,
                                     kArpAndDirect},
                    LongArgumentCase{"Ip",
                                     {u"netrise", u"-wake", u"-mac", kMac, u"-ip",
                                      Mebibyte(u"10.0.0.7"), u"-subnet", u"255.255.255.0"},
                                     "",
                                     {}},
                    LongArgumentCase{"Subnet",
                                     {u"netrise", u"-wake", u"-mac", kMac, u"-ip", u"10.0.0.7",
                                      u"-subnet", Mebibyte(u"255.255.255.0")},
                                     kArpAndDirectLines,
                                     kArpAndDirect},
                    LongArgumentCase{"Computer",
                                     {u"netrise", u"-wake", u"-computer", Mebibyte(u"pc")},
                                     "Broadcast NetBIOS lookup.\n",
                                     {"lookup of " + std::to_string(kMebibyte) + " bytes"}},
                    LongArgumentCase{"QueriedMac",
                                     {u"netrise", u"-query", u"-mac", Mebibyte(kMac)},
                                     "You specified adapter MAC 00:11:22:33:44:55" +
                                         std::string(kMebibyte - kMac.size(), 'x') +
                                         "\n\nThe adapter COULD NOT be queried.\n\n",
                                     {}},
                    LongArgumentCase{"UnknownWord", {u"netrise", Mebibyte(u"-wake")}, kUsage, {}}),
    CaseName());

}  // namespace
