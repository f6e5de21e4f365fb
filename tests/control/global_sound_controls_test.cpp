// Stop all, the simulator's published values, and muting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kob_platform/control.h"
#include "sound_fixture.h"

namespace kob::test {
namespace {

class GlobalSoundControls : public SoundFixture {
protected:
    void startTwoSounds(const std::string& config = "") {
        const auto tone = writeTone("tone.wav");
        startWithSounds({tone, tone + ",90", tone}, config);
    }
    int setVolumeCalls(int slot) const {
        int n = 0;
        for (const auto& c : calls(slot)) n += c.method == "SetVolume";
        return n;
    }
    std::optional<std::int64_t> lastSetVolume(int slot) const {
        std::optional<std::int64_t> v;
        for (const auto& c : calls(slot))
            if (c.method == "SetVolume") v = c.args.at(0);
        return v;
    }
};

TEST_F(GlobalSoundControls, StopVariableAboveZeroStopsEveryPlayingSound) {
    startTwoSounds();
    command(0, 1);
    command(1, 2);
    update();
    set("kob_stop_sounds", 0.5);
    update();
    for (int i : {0, 1}) {
        EXPECT_FALSE(buffer(i)->playing) << i;
        EXPECT_EQ(buffer(i)->positionBytes, 0u) << "rewound";
        EXPECT_EQ(slot(i).started, 0) << i;
        EXPECT_EQ(slotValue(i), 0.0) << i;
    }
    EXPECT_EQ(slot(1).playMode, 2) << "stop-all leaves the play mode";
    EXPECT_EQ(var("kob_stop_sounds"), 0.0);
}

TEST_F(GlobalSoundControls, StopVariableAtZeroOrBelowDoesNothing) {
    for (double request : {-1.0, 0.0}) {
        TearDown();
        SetUp();
        startTwoSounds();
        command(1, 2);
        update();
        set("kob_stop_sounds", request);
        host->lvarCalls.clear();
        update();
        EXPECT_TRUE(buffer(1)->playing) << request;
        EXPECT_EQ(var("kob_stop_sounds"), request) << "keeps its value";
        for (const auto& call : host->lvarCalls)
            EXPECT_FALSE(call.kind == host::LvarCall::Kind::Set && call.name == "kob_stop_sounds");
    }
}

TEST_F(GlobalSoundControls, StopLeavesAnEndedSlotForTheNextCycle) {
    startTwoSounds();
    command(0, 1);
    update();
    play(0.2);
    command(0, 7);  // nothing for the cycle to do this update
    set("kob_stop_sounds", 1);
    update();
    EXPECT_EQ(slot(0).started, 1) << "not playing: skipped";
    EXPECT_EQ(slotValue(0), 7.0);
    EXPECT_EQ(var("kob_stop_sounds"), 0.0);
}

TEST_F(GlobalSoundControls, StopWithNothingPlayingOrNoSlotsStillResets) {
    startTwoSounds();
    set("kob_stop_sounds", 3);
    update();
    EXPECT_EQ(var("kob_stop_sounds"), 0.0);

    TearDown();
    SetUp();
    startWithIni("[Config]\nMaxSounds=0\nLvarStop=halt\n");
    set("halt", 1);
    update();
    EXPECT_EQ(var("halt"), 0.0);
}

TEST_F(GlobalSoundControls, StopClearsASlotWithoutABufferWithoutBufferCalls) {
    const auto junk = dir.write("junk.wav", "not a wave").string();
    startWithSounds({junk});
    command(0, 1);
    update();
    slot(0).started = 1;
    set("kob_stop_sounds", 1);
    clearCalls();
    update();
    EXPECT_EQ(slot(0).started, 0);
    EXPECT_EQ(slotValue(0), 0.0);
    EXPECT_TRUE(platform::audioCallLog().empty());
}

TEST_F(GlobalSoundControls, SimulatorFoundLaterPublishesFromTheFollowingUpdate) {
    host->registerLvar("time_of_day");
    startTwoSounds();
    update();
    EXPECT_EQ(state().globalModule, nullptr);

    simulatorPresent(1, 3);
    update();
    EXPECT_NE(state().globalModule, nullptr) << "found in this update";
    EXPECT_EQ(var("time_of_day"), 0.0) << "but nothing published yet";
    EXPECT_EQ(var("kob_sound_indicator"), 0.0);
    EXPECT_EQ(state().simSoundState, -1);

    update();
    EXPECT_EQ(var("time_of_day"), 3.0);
    EXPECT_EQ(var("kob_sound_indicator"), 1.0);
    EXPECT_EQ(state().simSoundState, 1);

    simulatorMemory[4446] = 250;
    simulatorSoundState(256);
    update();
    EXPECT_EQ(var("time_of_day"), 250.0);
    EXPECT_EQ(var("kob_sound_indicator"), 0.0) << "the lowest byte of 256";
    EXPECT_EQ(state().simSoundState, 256);
    EXPECT_EQ(state().silenceRequested, 0) << "the whole word is nonzero: no silence";
}

TEST_F(GlobalSoundControls, SoundOffMutesAndSoundOnGivesEachSlotItsLevel) {
    simulatorPresent(1);
    startTwoSounds();
    update();
    command(0, 2);
    command(1, 2);
    update();
    EXPECT_EQ(buffer(1)->volume, -1000);

    simulatorSoundState(0);
    update();
    EXPECT_EQ(state().muted, 1);
    EXPECT_EQ(buffer(0)->volume, -10000);
    EXPECT_EQ(buffer(1)->volume, -10000);
    EXPECT_TRUE(buffer(0)->playing) << "muting only lowers the level";

    set("kob_vorlo_volume", 97.493);  // -250.7
    command(1, 3);
    update();
    EXPECT_EQ(buffer(1)->volume, -10000) << "sound off: the new level waits";

    simulatorSoundState(1);
    update();
    EXPECT_EQ(state().muted, 0);
    EXPECT_EQ(buffer(0)->volume, 0);
    EXPECT_EQ(buffer(1)->volume, -250) << "truncated toward zero";
}

TEST_F(GlobalSoundControls, StillProbeMeansPausedAndMutes) {
    simulatorPresent(1);
    startTwoSounds();
    update();
    command(0, 2);
    update();
    host->setPaused(true);
    update();
    EXPECT_EQ(state().muted, 1);
    EXPECT_EQ(buffer(0)->volume, -10000);

    // A slot loaded while muted follows the first-use rule and is not silenced.
    command(2, 2);
    update();
    EXPECT_EQ(buffer(2)->volume, 0);
    EXPECT_EQ(state().muted, 1);

    host->setPaused(false);
    update();
    EXPECT_EQ(state().muted, 0);
    EXPECT_EQ(buffer(0)->volume, 0);
}

TEST_F(GlobalSoundControls, ProbeAtZeroInTheFirstUpdateCountsAsAPause) {
    startTwoSounds();
    host->setPaused(true);
    service(6);
    EXPECT_EQ(state().muted, 1);
    EXPECT_EQ(state().lastProbeValue, 0.0);
}

TEST_F(GlobalSoundControls, MutingPassesSlotsWithoutABuffer) {
    const auto junk = dir.write("junk.wav", "not a wave").string();
    const auto tone = writeTone("tone.wav");
    startWithSounds({junk, tone});
    command(0, 1);
    command(1, 2);
    update();
    host->setPaused(true);
    clearCalls();
    update();
    std::vector<platform::BufferId> silenced;
    for (const auto& c : platform::audioCallLog())
        if (c.method == "SetVolume" && c.args.at(0) == -10000) silenced.push_back(c.buffer);
    EXPECT_EQ(silenced, std::vector<platform::BufferId>{*bufferId(1)});
}

}  // namespace
}  // namespace kob::test
