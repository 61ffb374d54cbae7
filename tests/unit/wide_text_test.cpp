#include "platform/wide_text.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <string>

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u16string expected;
};

class DecodeUtf8Test : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeUtf8Test, Decodes) { EXPECT_EQ(DecodeUtf8(GetParam().bytes), GetParam().expected); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Utf8, DecodeUtf8Test, testing::Values(
    DecodeCase{"Ascii", "-wake", u"-wake"},
    DecodeCase{"Empty", "", u""},
    DecodeCase{"TwoByte", "caf\xC3\xA9", u"caf\u00E9"},
    DecodeCase{"ThreeByte", "\xE2\x82\xAC", u"\u20AC"},
    DecodeCase{"FourByteBecomesSurrogatePair", "\xF0\x9F\x98\x80", u"\U0001F600"},
    DecodeCase{"StrayContinuation", "-w\x80ke", u"-w\uFFFDke"},
    DecodeCase{"InvalidLeadByte", "\xFF-info", u"\uFFFD-info"},
    DecodeCase{"OverlongSlashIsNotSlash", "\xC0\xAF", u"\uFFFD\uFFFD"},
    DecodeCase{"OverlongThreeByteNul", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    DecodeCase{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    DecodeCase{"BeyondUnicode", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    DecodeCase{"TruncatedAtEnd", "ab\xE2\x82", u"ab\uFFFD"},
    DecodeCase{"TruncatedBeforeAscii", "\xE2\x82-set", u"\uFFFD-set"},
    DecodeCase{"Latin1ByteIsNotLatin1Char", "caf\xE9", u"caf\uFFFD"}),
    CaseName());
// clang-format on

TEST(EncodeUtf8Test, RoundTripsAndReplacesLoneSurrogates) {
    EXPECT_EQ(EncodeUtf8(u"caf\u00E9 \u20AC \U0001F600"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(EncodeUtf8(lone),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(AsciiCaseTest, FoldsOnlyAsciiLetters) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase(u"-MaC", u"-mac"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"-mac", u"-ma"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"\u00C9", u"\u00E9"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"@", u"`"));  // neighbours of A and a
    EXPECT_TRUE(StartsWithIgnoringAsciiCase(u"PCI\\VEN_8086_0", u"pci\\ven_8086"));
    EXPECT_FALSE(StartsWithIgnoringAsciiCase(u"PCI", u"PCI\\VEN"));
    EXPECT_TRUE(StartsWithIgnoringAsciiCase(u"anything", u""));
}

}  // namespace
