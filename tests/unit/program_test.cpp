#include "cli/program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "call_log.h"
#include "fake_com.h"
#include "fake_console.h"
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

}  // namespace
