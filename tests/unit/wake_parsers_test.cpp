#include <gtest/gtest.h>

#include "case_name.h"
#include "reset.h"
#include "wake/hex_digits.h"
#include "wake/ipv4_text.h"
#include "wake/magic_packet.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct HexDigitCase {
    const char* name;
    WideChar character;
    int expected;
};

class HexDigitValueTest : public testing::TestWithParam<HexDigitCase> {};

TEST_P(HexDigitValueTest, ValueOfOneCharacter) {
    EXPECT_EQ(HexDigitValue(GetParam().character), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(HexDigits, HexDigitValueTest, testing::Values(
    HexDigitCase{"Zero", u'0', 0},
    HexDigitCase{"Nine", u'9', 9},
    HexDigitCase{"UpperA", u'A', 10},
    HexDigitCase{"UpperF", u'F', 15},
    HexDigitCase{"LowerA", u'a', 10},
    HexDigitCase{"LowerF", u'f', 15},
    HexDigitCase{"UpperG", u'G', 0},
    HexDigitCase{"LowerG", u'g', 0},
    HexDigitCase{"Colon", u':', 0},
    HexDigitCase{"SlashBelowZero", u'/', 0},
    HexDigitCase{"AtBelowUpperA", u'@', 0},
    HexDigitCase{"BacktickBelowLowerA", u'`', 0},
    // Characters whose low byte is a digit or letter must not count: the whole value is compared.
    HexDigitCase{"LowByteIsDigitOne", static_cast<WideChar>(0x0131), 0},
    HexDigitCase{"LowByteIsLetterA", static_cast<WideChar>(0x0141), 0},
    HexDigitCase{"FullwidthDigitOne", static_cast<WideChar>(0xFF11), 0}),
    CaseName());
// clang-format on

struct HexByteCase {
    const char* name;
    WideChar high;
    WideChar low;
    int expected;
};

class ParseHexByteTest : public testing::TestWithParam<HexByteCase> {};

TEST_P(ParseHexByteTest, HighDigitFirst) {
    EXPECT_EQ(ParseHexByte(GetParam().high, GetParam().low), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(HexBytes, ParseHexByteTest, testing::Values(
    HexByteCase{"Zero", u'0', u'0', 0x00},
    HexByteCase{"HighDigitShifted", u'1', u'0', 0x10},
    HexByteCase{"LowDigit", u'0', u'1', 0x01},
    HexByteCase{"MixedCase", u'a', u'F', 0xAF},
    HexByteCase{"AllOnes", u'f', u'f', 0xFF},
    HexByteCase{"NonDigitLowCountsAsZero", u'0', u'G', 0x00},
    HexByteCase{"NonDigitHighCountsAsZero", u'x', u'7', 0x07}),
    CaseName());
// clang-format on

struct Ipv4TextCase {
    const char* name;
    std::u16string text;
    const char* expected;  // dotted form, or null for IPV4_NONE
};

class ParseIpv4TextTest : public testing::TestWithParam<Ipv4TextCase> {
  protected:
    void SetUp() override { fake::Reset(); }
};

Ipv4Address Address(const char* dotted) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(dotted, "%u.%u.%u.%u", &a, &b, &c, &d);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
                                   static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d)};
    Ipv4Address address = 0;
    std::memcpy(&address, bytes, sizeof address);
    return address;
}

TEST_P(ParseIpv4TextTest, AddressInNetworkOrder) {
    const Ipv4Address expected =
        GetParam().expected == nullptr ? IPV4_NONE : Address(GetParam().expected);
    EXPECT_EQ(ParseIpv4Text(GetParam().text), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ipv4Texts, ParseIpv4TextTest, testing::Values(
    Ipv4TextCase{"Dotted", u"192.168.1.20", "192.168.1.20"},
    Ipv4TextCase{"Mask", u"255.255.255.0", "255.255.255.0"},
    Ipv4TextCase{"AllZero", u"0.0.0.0", "0.0.0.0"},
    Ipv4TextCase{"Empty", u"", nullptr},
    Ipv4TextCase{"AllOnesIsNoAddress", u"255.255.255.255", nullptr},
    Ipv4TextCase{"NotAnAddress", u"router", nullptr},
    Ipv4TextCase{"TooManyParts", u"1.2.3.4.5", nullptr},
    Ipv4TextCase{"PartTooLarge", u"192.168.1.256", nullptr},
    // A character of 256 or more must not be cut down to its low byte ("1" here).
    Ipv4TextCase{"CharacterAbove255", u"10.0.0.\u0131", nullptr},
    Ipv4TextCase{"CharacterBelow256NotAscii", u"10.0.0.\u00B9", nullptr},
    // The text ends at an embedded zero character, as the dotted-text parser sees it.
    Ipv4TextCase{"EmbeddedZeroEndsText", std::u16string(u"10.0.0.7\0junk", 13), "10.0.0.7"}),
    CaseName());
// clang-format on

struct MacTextCase {
    const char* name;
    WideText text;
    MacAddress expected;
};

class ParseMacTextTest : public testing::TestWithParam<MacTextCase> {};

TEST_P(ParseMacTextTest, PairsAtFixedPositions) {
    EXPECT_EQ(ParseMacText(GetParam().text), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(MacTexts, ParseMacTextTest, testing::Values(
    MacTextCase{"Colons", u"00:11:22:33:44:55", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
    MacTextCase{"Dashes", u"00-11-22-33-44-55", {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
    MacTextCase{"SeparatorsNotExamined", u"aaxBBy0cz1DwEEvff", {0xAA, 0xBB, 0x0C, 0x1D, 0xEE, 0xFF}},
    MacTextCase{"NonDigitsCountAsZero", u"0G:g1:zz:33:44:55", {0x00, 0x01, 0x00, 0x33, 0x44, 0x55}}),
    CaseName());
// clang-format on

TEST(MagicPacketTest, SixOnesThenTheAddressSixteenTimes) {
    const MagicPacket packet = BuildMagicPacket({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    ASSERT_EQ(packet.size(), 102u);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(packet[i], 0xFF) << "byte " << i;
    for (std::size_t i = 6; i < packet.size(); ++i) {
        EXPECT_EQ(packet[i], 0x11 * ((i - 6) % 6)) << "byte " << i;
    }
}

}  // namespace
