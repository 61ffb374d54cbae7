#include "cli/command_options.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <string>
#include <vector>

namespace {

struct ScanCase {
    const char* name;
    std::vector<std::u16string> arguments;  // without the program path
    bool set, clear, info, query, wake;
    std::u16string mac, computer, ip, subnet;
};

class ScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, FillsOptions) {
    const ScanCase& c = GetParam();
    std::vector<std::u16string> storage = {u"netrise"};
    storage.insert(storage.end(), c.arguments.begin(), c.arguments.end());
    const std::vector<WideText> arguments(storage.begin(), storage.end());

    const CommandOptions options = ScanArguments(arguments);

    EXPECT_EQ(options.set, c.set);
    EXPECT_EQ(options.clear, c.clear);
    EXPECT_EQ(options.info, c.info);
    EXPECT_EQ(options.query, c.query);
    EXPECT_EQ(options.wake, c.wake);
    EXPECT_EQ(options.mac, c.mac);
    EXPECT_EQ(options.computer, c.computer);
    EXPECT_EQ(options.ip, c.ip);
    EXPECT_EQ(options.subnet, c.subnet);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Scan, ScanTest, testing::Values(
    ScanCase{"NoArguments", {}, false, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"WorkedWakeExample",
             {u"-wake", u"-mac", u"00:11:22:33:44:55", u"-ip", u"192.168.1.20", u"-subnet",
              u"255.255.255.0"},
             false, false, false, false, true, u"00:11:22:33:44:55", u"", u"192.168.1.20",
             u"255.255.255.0"},
    ScanCase{"WordsIgnoreAsciiCase", {u"-SET", u"-MAC", u"00:11:22:33:44:55"},
             true, false, false, false, false, u"00:11:22:33:44:55", u"", u"", u""},
    ScanCase{"MixedCaseFlags", {u"-InFo", u"-qUeRy", u"-WaKe"},
             false, false, true, true, true, u"", u"", u"", u""},
    ScanCase{"NonAsciiLetterIsNotFolded", {u"-\u0130nfo", u"-wak\u00C9"},
             false, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"SetThenClearClears", {u"-set", u"-clear"},
             false, true, false, false, false, u"", u"", u"", u""},
    ScanCase{"ClearThenSetSets", {u"-clear", u"-set"},
             true, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"ValueWordAsLastArgumentKeepsEmpty", {u"-set", u"-mac"},
             true, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"ValueWordAsLastArgumentKeepsEarlierValue", {u"-ip", u"10.0.0.1", u"-ip"},
             false, false, false, false, false, u"", u"", u"10.0.0.1", u""},
    ScanCase{"LastValueWordEndsScanBeforeLaterWords", {u"-mac"},
             false, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"PrefixOfWordMatchesNothing", {u"-macx", u"aa", u"-settings", u"-wak"},
             false, false, false, false, false, u"", u"", u"", u""},
    ScanCase{"ValueSpellingLaterValueWordActsAsIt", {u"-mac", u"-ip", u"10.0.0.9", u"-wake"},
             false, false, false, false, true, u"-ip", u"", u"10.0.0.9", u""},
    ScanCase{"ValueSpellingEarlierValueWordDoesNot", {u"-ip", u"-mac", u"00:11:22:33:44:55"},
             false, false, false, false, false, u"", u"", u"-mac", u""},
    ScanCase{"FlagWordAsValueIsOnlyText", {u"-mac", u"-wake"},
             false, false, false, false, false, u"-wake", u"", u"", u""},
    ScanCase{"ChainOfValueWords", {u"-mac", u"-computer", u"-ip", u"-subnet", u"255.0.0.0"},
             false, false, false, false, false, u"-computer", u"-ip", u"-subnet", u"255.0.0.0"},
    ScanCase{"ChainEndingOnLastArgument", {u"-mac", u"-computer"},
             false, false, false, false, false, u"-computer", u"", u"", u""},
    ScanCase{"RepeatedOptionOverwrites", {u"-mac", u"aa", u"-mac", u"bb"},
             false, false, false, false, false, u"bb", u"", u"", u""},
    ScanCase{"EmptyValueIsTaken", {u"-computer", u"", u"-info"},
             false, false, true, false, false, u"", u"", u"", u""},
    ScanCase{"UnknownWordsIgnored", {u"wake", u"--wake", u"/wake", u"-wake"},
             false, false, false, false, true, u"", u"", u"", u""}),
    CaseName());
// clang-format on

TEST(ScanTest, ValuesReferToTheArgumentsThemselves) {
    const std::vector<std::u16string> storage = {u"netrise", u"-mac", u"00:11:22:33:44:55"};
    const std::vector<WideText> arguments(storage.begin(), storage.end());
    const CommandOptions options = ScanArguments(arguments);
    EXPECT_EQ(options.mac.data(), storage[2].data());
}

}  // namespace
