// Stepping through the debugger's pages with its two mouse areas, as the host
// calls them through the gauge's mouse list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugger_view.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

enum class Click { Left, Right };

struct SteppingCase {
    const char* name;
    std::string ini;
    std::int32_t slotCount;
    Click click;
    std::vector<std::int32_t> pagesAfterEachClick;  // starting on the configuration page
};

// By name: the default printer would dump the record's bytes, padding included.
void PrintTo(const SteppingCase& c, std::ostream* out) { *out << c.name; }

class DebuggerPages : public ModuleFixture, public ::testing::WithParamInterface<SteppingCase> {
protected:
    DebuggerView view() const { return DebuggerView(module().debuggerGauge()); }
};

TEST_P(DebuggerPages, WrapAroundInEitherDirection) {
    const SteppingCase& c = GetParam();
    startWithIni(c.ini);
    ASSERT_EQ(state().slotCount, c.slotCount);
    ASSERT_EQ(state().displayedSlot, c.slotCount) << "the configuration page comes first";
    for (std::int32_t expected : c.pagesAfterEachClick) {
        const std::int32_t result = c.click == Click::Left ? view().clickLeft() : view().clickRight();
        EXPECT_EQ(result, 0);
        EXPECT_EQ(state().displayedSlot, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SlotCounts, DebuggerPages,
    ::testing::Values(
        SteppingCase{"ThreeSlotsForward", "[Config]\nMaxSounds=3\n", 3, Click::Right, {0, 1, 2, 3, 0}},
        SteppingCase{"ThreeSlotsBack", "[Config]\nMaxSounds=3\n", 3, Click::Left, {2, 1, 0, 3, 2}},
        SteppingCase{"NoSlotsForward", "[Config]\nMaxSounds=0\n", 0, Click::Right, {0, 0}},
        SteppingCase{"NoSlotsBack", "[Config]\nMaxSounds=0\n", 0, Click::Left, {0, 0}}),
    [](const auto& test) { return std::string(test.param.name); });

class DebuggerPagesBeforeConfiguration : public ModuleFixture {};

TEST_F(DebuggerPagesBeforeConfiguration, RunOverTheHundredEmptySlots) {
    DebuggerView view(module().debuggerGauge());
    ASSERT_EQ(state().displayedSlot, 0);
    EXPECT_EQ(view.clickLeft(), 0);
    EXPECT_EQ(state().displayedSlot, 100) << "back from slot 0 is the configuration page";
    EXPECT_EQ(view.clickRight(), 0);
    EXPECT_EQ(state().displayedSlot, 0);
}

}  // namespace
}  // namespace kob::test
