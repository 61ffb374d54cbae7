#include "cli/dispatch.h"

#include <gtest/gtest.h>

#include "case_name.h"

#include <string>

namespace {

struct DispatchCase {
    const char* name;
    CommandOptions options;
    Command expected;
};

class DispatchTest : public testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTest, ChoosesOneCommand) {
    EXPECT_EQ(ChooseCommand(GetParam().options), GetParam().expected);
}

CommandOptions Options(bool set, bool clear, bool info, bool query, bool wake, WideText mac) {
    CommandOptions options;
    options.set = set;
    options.clear = clear;
    options.info = info;
    options.query = query;
    options.wake = wake;
    options.mac = mac;
    return options;
}

constexpr WideText kMac = u"00:11:22:33:44:55";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dispatch, DispatchTest, testing::Values(
    DispatchCase{"NothingGivesUsage", Options(false, false, false, false, false, u""), Command::Usage},
    DispatchCase{"InfoWinsOverEverything", Options(true, false, true, true, true, kMac), Command::Info},
    DispatchCase{"SetWithMac", Options(true, false, false, false, false, kMac), Command::Adapter},
    DispatchCase{"ClearWithMac", Options(false, true, false, false, false, kMac), Command::Adapter},
    DispatchCase{"QueryWithMac", Options(false, false, false, true, false, kMac), Command::Adapter},
    DispatchCase{"QueryAndSetWithMac", Options(true, false, false, true, false, kMac), Command::Adapter},
    DispatchCase{"AdapterWinsOverWake", Options(false, false, false, true, true, kMac), Command::Adapter},
    DispatchCase{"SetWithoutMacGivesUsage", Options(true, false, false, false, false, u""), Command::Usage},
    DispatchCase{"SetWithoutMacFallsToWake", Options(true, false, false, false, true, u""), Command::Wake},
    DispatchCase{"MacAloneGivesUsage", Options(false, false, false, false, false, kMac), Command::Usage},
    DispatchCase{"WakeAlone", Options(false, false, false, false, true, u""), Command::Wake}),
    CaseName());
// clang-format on

}  // namespace
