// The gauge callback's services and their order rules, without audio.
#include <gtest/gtest.h>

#include "module/service_id.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

using Kind = host::LvarCall::Kind;

class Lifecycle : public ModuleFixture {};

TEST_F(Lifecycle, ModuleInitRegistersPlayedThenIndicator) {
    ASSERT_GE(host->lvarCalls.size(), 2u);
    EXPECT_EQ(host->lvarCalls[0].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[0].name, "kob_volume_played");
    EXPECT_EQ(host->lvarCalls[1].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[1].name, "kob_sound_indicator");
    EXPECT_EQ(state().volumePlayedId, host->findLvar("kob_volume_played"));
    EXPECT_EQ(state().soundIndicatorId, host->findLvar("kob_sound_indicator"));
}

}  // namespace
}  // namespace kob::test
