#include <gtest/gtest.h>

#include <string>

#include "lab.h"
#include "wine.h"

namespace {

// wmic writes UTF-16 when its output is not a console; the texts compared here are ASCII.
std::string AsciiOf(const std::string& utf16) {
    std::string ascii;
    for (const char c : utf16) {
        if (c != '\0' && static_cast<unsigned char>(c) < 0x80) ascii.push_back(c);
    }
    return ascii;
}

// Wine's management service lists the lab link's adapter (its MACAddress in lower case) but has
// no instance of any power class, so "-query" finds the adapter and then fails at the first
// setting. wmic first shows that the adapter is listed, so the failure is not a missed match.
TEST(AdapterWineTest, QueryFindsAdapterWithoutPowerInstances) {
    if (!lab::WineAvailable()) GTEST_SKIP() << "wine is not installed";
    lab::Lab lab("nraw");
    lab.AddHost("pc");
    lab.AddHost("peer");
    lab.AddVeth("pc", "eth0", "10.78.1.1/24", "peer", "eth0", "10.78.1.2/24", "02:00:00:78:01:0a");
    lab::WineRunner wine(lab, "pc");
    const std::string mac = lab.MacOf("pc", "eth0");

    const lab::RunResult adapters =
        wine.Run("wmic", {"path", "Win32_NetworkAdapter", "get", "MACAddress"});
    ASSERT_NE(AsciiOf(adapters.output).find(mac), std::string::npos) << AsciiOf(adapters.output);

    const lab::RunResult query = wine.Run(NETRISE_EXE, {"-query", "-mac", mac});

    EXPECT_EQ(query.status, 0) << query.errors;
    EXPECT_EQ(query.output, "You specified adapter MAC " + mac +
                                "\r\n\r\n"
                                "The adapter COULD NOT be queried.\r\n"
                                "\r\n");
}

}  // namespace
