#include <gtest/gtest.h>
#include <linux/netlink.h>

#include <cstdint>
#include <vector>

#include "platform/linux/netlink.h"

// Reading the attributes of a kernel reply, the bytes laid out here as the kernel lays them out.
namespace {

using platform::linux_backend::Bytes;
using platform::linux_backend::NetlinkAttributes;

constexpr std::uint16_t kFirst = 1;
constexpr std::uint16_t kSecond = 2;
constexpr std::uint16_t kNested = 3;
constexpr std::uint16_t kAbsent = 9;

void AppendAttribute(std::vector<std::uint8_t>& bytes, std::uint16_t type,
                     const std::vector<std::uint8_t>& data) {
    const auto length = static_cast<std::uint16_t>(NLA_HDRLEN + data.size());
    bytes.push_back(static_cast<std::uint8_t>(length & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(length >> 8));
    bytes.push_back(static_cast<std::uint8_t>(type & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(type >> 8));
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.resize(NLA_ALIGN(bytes.size()), 0);
}

std::vector<std::uint8_t> U32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// A reply: an 8-byte family header, a 5-byte attribute (padded), a u32 and a nested attribute
// whose type carries the kernel's nested flag.
std::vector<std::uint8_t> Reply() {
    std::vector<std::uint8_t> reply(8, 0xEE);
    AppendAttribute(reply, kFirst, {'e', 't', 'h', '0', 0});
    AppendAttribute(reply, kSecond, U32(0x01020304));
    std::vector<std::uint8_t> nested;
    AppendAttribute(nested, kFirst, U32(7));
    AppendAttribute(reply, static_cast<std::uint16_t>(kNested | NLA_F_NESTED), nested);
    return reply;
}

TEST(NetlinkAttributesTest, FindsEachAttributeAfterTheFamilyHeaderAndPadding) {
    const std::vector<std::uint8_t> reply = Reply();
    const NetlinkAttributes attributes(Bytes(reply), 8);
    const Bytes name = attributes.Find(kFirst);
    EXPECT_EQ(std::vector<std::uint8_t>(name.begin(), name.end()),
              (std::vector<std::uint8_t>{'e', 't', 'h', '0', 0}));
    std::uint32_t value = 0;
    EXPECT_TRUE(attributes.Read(kSecond, &value));
    EXPECT_EQ(value, 0x01020304u);
    EXPECT_TRUE(attributes.Find(kAbsent).empty());
}

TEST(NetlinkAttributesTest, NestedFlagIsIgnoredAndTheNestedAttributesRead) {
    const std::vector<std::uint8_t> reply = Reply();
    const Bytes nested = NetlinkAttributes(Bytes(reply), 8).Find(kNested);
    ASSERT_FALSE(nested.empty());
    std::uint32_t value = 0;
    EXPECT_TRUE(NetlinkAttributes(nested, 0).Read(kFirst, &value));
    EXPECT_EQ(value, 7u);
}

TEST(NetlinkAttributesTest, ReadWantsExactlyTheValuesSize) {
    const std::vector<std::uint8_t> reply = Reply();
    const NetlinkAttributes attributes(Bytes(reply), 8);
    std::uint16_t narrow = 0;
    std::uint64_t wide = 0;
    EXPECT_FALSE(attributes.Read(kSecond, &narrow));
    EXPECT_FALSE(attributes.Read(kSecond, &wide));
    EXPECT_FALSE(attributes.Read(kAbsent, &narrow));
}

TEST(NetlinkAttributesTest, TruncatedReplyYieldsOnlyWhatIsWhole) {
    std::vector<std::uint8_t> reply = Reply();
    reply.resize(8 + 12 + 4);  // the header, the padded name and half of the u32
    const NetlinkAttributes attributes(Bytes(reply), 8);
    EXPECT_FALSE(attributes.Find(kFirst).empty());
    EXPECT_TRUE(attributes.Find(kSecond).empty());
    EXPECT_TRUE(NetlinkAttributes(Bytes(reply).first(6), 8).Find(kFirst).empty());
}

}  // namespace
