#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "case_name.h"
#include "lab.h"
#include "wake_frames.h"
#include "wake_lan.h"

// The real Linux binary fed arguments that are too long, not UTF-8, outside Latin-1, of the wrong
// length, repeated or cut short. Each row says what it must print, its exit status and which
// frames the computer running it puts on the LAN; nothing may reach the loopback link, where a
// name lookup escaping the hosts file would go.
namespace {

// The longest single argument the kernel hands to a program: 32 pages less the terminator.
constexpr std::size_t kLongestArgument = 32 * 4096 - 1;

const std::string kMac = "00:11:22:33:44:55";
const std::string kAwake = WakeLan::AWAKE_ADDRESS;
const std::string kMask = WakeLan::SUBNET_MASK;

const std::string kAllThreeLines =
    "Sent a magic packet.\nSent ARP request.\nSent a direct packet.\n";
const std::string kArpAndDirectLines = "Sent ARP request.\nSent a direct packet.\n";
const std::string kLookupLine = "Broadcast NetBIOS lookup.\n";
const std::string kAwakeFound = "awake.lab";

const std::string kArpForAwake = "arp request for 10.88.0.2 from 10.88.0.1 to ff:ff:ff:ff:ff:ff";
const std::string kZerosToAwake = "udp to 02:00:00:88:00:02 10.88.0.2:34125 ttl 64 32 zeros";

// U+FFFD as UTF-8: what every ill-formed byte sequence of an argument is printed back as.
const std::string kReplacement = "\xEF\xBF\xBD";

std::string MagicTo(const std::string& address, const std::string& mac) {
    return "udp to ff:ff:ff:ff:ff:ff " + address + ":34125 ttl 2 magic " + mac;
}

const std::vector<std::string> kArpAndDirect = {kArpForAwake, kZerosToAwake};
const std::vector<std::string> kAllThree = {MagicTo(WakeLan::SUBNET_BROADCAST, kMac), kArpForAwake,
                                            kZerosToAwake};

std::string Usage() {
    std::ifstream file(NETRISE_USAGE_TEXT, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string AdapterOutput(const std::string& typedMac, const std::string& outcome) {
    return "You specified adapter MAC " + typedMac + "\n\n" + outcome + "\n\n";
}

const std::string kQueryFailed = "The adapter COULD NOT be queried.";
const std::string kUpdateFailed = "The adapter COULD NOT be updated.";

// `start` filled up with 'x' to the longest argument there can be.
std::string Longest(const std::string& start) {
    return start + std::string(kLongestArgument - start.size(), 'x');
}

std::string Times(const std::string& text, std::size_t count) {
    std::string all;
    for (std::size_t i = 0; i < count; ++i) all += text;
    return all;
}

// An ASCII character in the two-byte form that UTF-8 forbids (an overlong form): a decoder that
// accepted it would read the word around it as an option word.
std::string Overlong(char ascii) {
    const auto code = static_cast<unsigned char>(ascii);
    return {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
}

std::vector<std::string> Repeated(const std::vector<std::string>& words, int times) {
    std::vector<std::string> all;
    for (int i = 0; i < times; ++i) all.insert(all.end(), words.begin(), words.end());
    return all;
}

std::vector<std::string> Joined(const std::vector<std::vector<std::string>>& parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> WakeWith(const std::string& mac, const std::string& ip,
                                  const std::string& subnet) {
    return {"-wake", "-mac", mac, "-ip", ip, "-subnet", subnet};
}

struct BadInputCase {
    std::string name;
    std::vector<std::string> arguments;
    std::string output;
    std::vector<std::string> sent;  // the frames the computer sends, in order, described
    int status = 0;                 // only a failed COM start-up, which Linux never has, gives 1
};

// A failing row is named by its name, not by a dump of its bytes.
void PrintTo(const BadInputCase& row, std::ostream* out) { *out << row.name; }

// The magic packet for a MAC whose last pair holds one character that is no hex digit: it
// counts as 0.
const std::string kMacEndingIn50 = "00:11:22:33:44:50";
const std::vector<std::string> kAllThreeForMacEndingIn50 = {
    MagicTo(WakeLan::SUBNET_BROADCAST, kMacEndingIn50), kArpForAwake, kZerosToAwake};

std::vector<BadInputCase> Cases() {
    const std::string usage = Usage();
    // U+1F600, a pair of UTF-16 surrogates, as often as the longest argument holds.
    const std::string faces = Times("\xF0\x9F\x98\x80", kLongestArgument / 4);
    return {
        // The longest arguments there can be, in every place.
        {"LongestMac", WakeWith(Longest(kMac), kAwake, kMask), kArpAndDirectLines, kArpAndDirect},
        {"LongestIp", WakeWith(kMac, Longest(kAwake), kMask), "", {}},
        {"LongestSubnet", WakeWith(kMac, kAwake, Longest(kMask)), kArpAndDirectLines,
         kArpAndDirect},
        {"LongestComputer", {"-wake", "-computer", Longest(kAwakeFound)}, kLookupLine, {}},
        {"LongestMacQueried",
         {"-query", "-mac", Longest(kMac)},
         AdapterOutput(Longest(kMac), kQueryFailed),
         {}},
        {"LongestFourByteCharactersPrintedBack",
         {"-query", "-mac", faces},
         AdapterOutput(faces, kQueryFailed),
         {}},
        {"LongestUnknownWord", {Longest("-wake")}, usage, {}},
        {"MebibyteOfArguments",
         {"-wake", "-mac", Longest(kMac), "-ip", Longest(kAwake), "-subnet", Longest(kMask),
          "-computer", Longest(kAwakeFound), Longest("-info"), Longest("-set"), Longest("-query"),
          Longest("-clear")},
         kLookupLine,
         {}},
        {"InfoIgnoresEverythingElse",
         Joined({WakeWith(kMac, kAwake, kMask), {"-info", Longest("-mac"), "\xFF", "-set"}}),
         "Cannot determine address for internet target " NETRISE_SITE_HOST
         ", return code 11001\nCan't get WoL data, error 11001\n",
         {}},

        // An ill-formed byte sequence in an option word: never read as that word.
        {"BrokenSet", {"-se" + Overlong('t'), "-mac", kMac}, usage, {}},
        {"BrokenClear", {"-clea" + Overlong('r'), "-mac", kMac}, usage, {}},
        {"BrokenInfo", {"-inf" + Overlong('o')}, usage, {}},
        {"BrokenQuery", {"-quer" + Overlong('y'), "-mac", kMac}, usage, {}},
        {"BrokenWake", {"-wak" + Overlong('e'), "-ip", kAwake}, usage, {}},
        {"BrokenMacWord",
         {"-wake", "-ma" + Overlong('c'), kMac, "-ip", kAwake, "-subnet", kMask},
         kArpAndDirectLines,
         kArpAndDirect},
        {"BrokenComputerWord", {"-wake", "-compute" + Overlong('r'), kAwakeFound}, "", {}},
        {"BrokenIpWord",
         {"-wake", "-mac", kMac, "-i" + Overlong('p'), kAwake, "-subnet", kMask},
         "",
         {}},
        {"BrokenSubnetWord",
         {"-wake", "-mac", kMac, "-ip", kAwake, "-subne" + Overlong('t'), kMask},
         kArpAndDirectLines,
         kArpAndDirect},
        {"StrayByteInWord", {"-wake\xFF", "-ip", kAwake}, usage, {}},

        // Ill-formed bytes in a value: one U+FFFD per maximal ill-formed part, never a digit or
        // a letter.
        {"TruncatedSequenceEndsMacAsOneCharacter",
         WakeWith("00:11:22:33:44:5\xE2\x82", kAwake, kMask), kAllThreeLines,
         kAllThreeForMacEndingIn50},
        {"TwoBadBytesMakeMacTooLong", WakeWith("00:11:22:33:44:5\xC0\xAF", kAwake, kMask),
         kArpAndDirectLines, kArpAndDirect},
        {"BadByteInQueriedMacPrintedAsReplacement",
         {"-query", "-mac", std::string("\xFF") + "0:11:22:33:44:55"},
         AdapterOutput(kReplacement + "0:11:22:33:44:55", kQueryFailed),
         {}},
        {"BadByteEndsIp", WakeWith(kMac, "10.88.0.2\xFF", kMask), "", {}},
        {"EncodedSurrogateInIp", WakeWith(kMac, "10.88.\xED\xA0\x80.2", kMask), "", {}},
        {"PastLastCodePointInSubnet", WakeWith(kMac, kAwake, "255.255.255.0\xF4\x90\x80\x80"),
         kArpAndDirectLines, kArpAndDirect},
        {"BadByteInComputerSkipsLookup", {"-wake", "-computer", "awake.lab\xFF"}, "", {}},
        {"BadByteInComputerKeepsIp",
         {"-wake", "-computer", std::string("\xFF") + "awake.lab", "-ip", kAwake},
         kArpAndDirectLines,
         kArpAndDirect},

        // A MAC as typed is printed, never read as a format.
        {"FormatDirectivesInMacPrintedAsTyped",
         {"-query", "-mac", "%s%n%x%%\n%S"},
         AdapterOutput("%s%n%x%%\n%S", kQueryFailed),
         {}},

        // Characters above 255. Each is a digit or letter plus 256, so cutting it to a byte
        // would make a valid text.
        {"IpCharacterAbove255", WakeWith(kMac, "10.88.0.\xC4\xB2", kMask), "", {}},
        {"SubnetCharacterAbove255", WakeWith(kMac, kAwake, "255.255.255.\xC4\xB0"),
         kArpAndDirectLines, kArpAndDirect},
        {"ComputerCharacterAbove255SkipsLookup",
         {"-wake", "-computer", "awake.la\xC5\xA2"},
         "",
         {}},
        {"ComputerCharacter255IsLookedUp",
         {"-wake", "-computer", "awake.la\xC3\xBF"},
         kLookupLine,
         {}},
        {"MacCharacterAbove255CountsAsZero", WakeWith("00:11:22:33:44:5\xC4\xB5", kAwake, kMask),
         kAllThreeLines, kAllThreeForMacEndingIn50},
        {"MacSurrogatePairIsTwoCharacters",
         WakeWith("\xF0\x9F\x98\x80:11:22:33:44:55", kAwake, kMask), kAllThreeLines, kAllThree},
        {"MacSurrogatePairMakesMacTooLong",
         WakeWith("0\xF0\x9F\x98\x80:11:22:33:44:55", kAwake, kMask), kArpAndDirectLines,
         kArpAndDirect},

        // MAC lengths around 17.
        {"Mac12", WakeWith("001122334455", kAwake, kMask), kArpAndDirectLines, kArpAndDirect},
        {"Mac16", WakeWith("00:11:22:33:44:5", kAwake, kMask), kArpAndDirectLines, kArpAndDirect},
        {"Mac17WithDashes", WakeWith("00-11-22-33-44-55", kAwake, kMask), kAllThreeLines,
         kAllThree},
        {"Mac18", WakeWith("00:11:22:33:44:55:", kAwake, kMask), kArpAndDirectLines, kArpAndDirect},

        // All-zero and all-one masks and addresses.
        {"MaskAllZeros",
         WakeWith(kMac, kAwake, "0.0.0.0"),
         kAllThreeLines,
         {MagicTo("255.255.255.255", kMac), kArpForAwake, kZerosToAwake}},
        {"MaskAllOnesIsNoMask", WakeWith(kMac, kAwake, "255.255.255.255"), kArpAndDirectLines,
         kArpAndDirect},
        {"IpAllOnesIsNoAddress", WakeWith(kMac, "255.255.255.255", kMask), "", {}},
        {"IpAllOnesGivesWayToComputer",
         Joined({WakeWith(kMac, "255.255.255.255", kMask), {"-computer", kAwakeFound}}),
         kLookupLine + kArpAndDirectLines, kArpAndDirect},

        // Options repeated hundreds of times: the last value counts, and each step happens once.
        {"FiveHundredMacsThenTheRealOne",
         Joined({Repeated({"-mac", "ff:ff:ff:ff:ff:ff"}, 500), WakeWith(kMac, kAwake, kMask)}),
         kAllThreeLines, kAllThree},
        {"FiveHundredWakes", Joined({Repeated({"-wake"}, 500), {"-ip", kAwake}}),
         kArpAndDirectLines, kArpAndDirect},
        {"FiveHundredComputers", Joined({{"-wake"}, Repeated({"-computer", kAwakeFound}, 500)}),
         kLookupLine + kArpAndDirectLines, kArpAndDirect},
        {"FiveHundredSetAndClear",
         Joined({Repeated({"-set", "-clear"}, 500), {"-mac", kMac}}),
         AdapterOutput(kMac, kUpdateFailed),
         {}},
        {"FiveHundredQueries",
         Joined({Repeated({"-query"}, 500), {"-mac", kMac}}),
         AdapterOutput(kMac, kQueryFailed),
         {}},

        // A value word as the last argument: no value, and an earlier one is kept.
        {"MacLastAlone", {"-mac"}, usage, {}},
        {"ComputerLastAlone", {"-computer"}, usage, {}},
        {"IpLastAlone", {"-ip"}, usage, {}},
        {"SubnetLastAlone", {"-subnet"}, usage, {}},
        {"SetWithMacLast", {"-set", "-mac"}, usage, {}},
        {"WakeWithMacLast", {"-wake", "-mac"}, "", {}},
        {"WakeKeepsMacBeforeLast", Joined({WakeWith(kMac, kAwake, kMask), {"-mac"}}),
         kAllThreeLines, kAllThree},
        {"WakeKeepsIpBeforeLast", Joined({WakeWith(kMac, kAwake, kMask), {"-ip"}}), kAllThreeLines,
         kAllThree},
        {"WakeKeepsSubnetBeforeLast", Joined({WakeWith(kMac, kAwake, kMask), {"-subnet"}}),
         kAllThreeLines, kAllThree},
        {"WakeKeepsComputerBeforeLast",
         {"-wake", "-computer", kAwakeFound, "-computer"},
         kLookupLine + kArpAndDirectLines,
         kArpAndDirect},
        {"QueryKeepsMacBeforeLast",
         {"-query", "-mac", kMac, "-mac"},
         AdapterOutput(kMac, kQueryFailed),
         {}},

        // Empty values count as not given.
        {"WakeWithEveryValueEmpty",
         {"-wake", "-mac", "", "-ip", "", "-subnet", "", "-computer", ""},
         "",
         {}},
        {"QueryWithEmptyMac", {"-query", "-mac", ""}, usage, {}},
        {"SetWithEmptyMacFallsToWake",
         {"-set", "-mac", "", "-wake", "-ip", kAwake},
         kArpAndDirectLines,
         kArpAndDirect},
        {"EmptySubnet", WakeWith(kMac, kAwake, ""), kArpAndDirectLines, kArpAndDirect},
        {"EmptyComputerMakesNoLookup",
         {"-wake", "-computer", "", "-ip", kAwake},
         kArpAndDirectLines,
         kArpAndDirect},
        {"EmptyWord", {""}, usage, {}},
    };
}

// Byte-for-byte comparison that names the first difference instead of printing texts of
// hundreds of kilobytes.
testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
        actual.begin());
    return testing::AssertionFailure()
           << actual.size() << " bytes where " << expected.size() << " were expected, first "
           << "difference at byte " << at << ": got \"" << actual.substr(at, 60)
           << "\", expected \"" << expected.substr(at, 60) << "\"";
}

class BadInputTest : public testing::TestWithParam<BadInputCase> {
  protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0) return;
        lan_ = std::make_unique<WakeLan>("nrb");
        // A default route, as a real computer has, so that a broadcast to 255.255.255.255 has
        // a link to leave by.
        lan_->lab->Shell("pc", "ip route add default via " + kAwake);
    }
    static void TearDownTestSuite() { lan_.reset(); }

    void SetUp() override {
        if (lan_ == nullptr) GTEST_SKIP() << "network namespaces need root";
        lan_->ForgetNeighbours();
    }

    static std::unique_ptr<WakeLan> lan_;
};

std::unique_ptr<WakeLan> BadInputTest::lan_;

TEST_P(BadInputTest, PrintsExitsAndSendsAsTheRulesSay) {
    const BadInputCase& row = GetParam();
    lab::FrameCapture lan(lan_->lab->Namespace("pc"), WakeLan::LINK);
    lab::FrameCapture loopback(lan_->lab->Namespace("pc"), "lo");
    std::vector<std::string> argv = {NETRISE_BINARY};
    argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());

    const lab::RunResult result = lan_->lab->RunIn("pc", argv);

    EXPECT_EQ(result.status, row.status);
    EXPECT_TRUE(SameBytes(result.output, row.output));
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(DescribeFramesFrom(lan.Collect(), WakeLan::PC_MAC, ""), row.sent);
    EXPECT_EQ(loopback.Collect(std::chrono::milliseconds(0)).size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rows, BadInputTest, testing::ValuesIn(Cases()), CaseName());

}  // namespace
