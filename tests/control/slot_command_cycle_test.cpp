// The per-update cycle, through the gauge callback: every state and event of
// a slot and every variable write.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kob_platform/mmio_control.h"
#include "sound_fixture.h"

namespace kob::test {
namespace {

class SlotCommandCycle : public SoundFixture {
protected:
    // Slot 0 on a 0.1 s tone; slot 1 on a file that is no WAV; slot 2 missing.
    void startThreeSlots(const std::string& config = "") {
        tone = writeTone("tone.wav");
        junk = dir.write("junk.wav", "this is no RIFF file at all").string();
        startWithSounds({tone + ",80", junk, (dir.path() / "absent.wav").string()}, config);
    }
    bool has(const std::vector<std::string>& names, const std::string& name) const {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    std::string tone;
    std::string junk;
};

TEST_F(SlotCommandCycle, RoadOfOneRequest) {
    WorkingDirectory inside(dir.path());
    writeTone("Sound/kob/kob_xml_05.wav");
    startWithIni("[Config]\nMaxSounds=6\n");

    command(5, 1);
    update();
    ASSERT_TRUE(buffer(5));
    EXPECT_TRUE(buffer(5)->playing);
    EXPECT_FALSE(buffer(5)->looping);
    EXPECT_EQ(buffer(5)->sizeBytes, 2205u * 2) << "one static buffer of the data chunk's size";
    EXPECT_EQ(slot(5).loaded, 1);
    EXPECT_EQ(slot(5).started, 1);
    EXPECT_EQ(slot(5).playMode, 1);
    EXPECT_EQ(var("kob_volume_played"), 100.0) << "no level set before the simulator is read: full level";

    update();
    EXPECT_EQ(slotValue(5), 1.0) << "the variable stays 1 while the sound plays";
    EXPECT_TRUE(buffer(5)->playing);

    play(0.2);
    EXPECT_FALSE(buffer(5)->playing);
    EXPECT_EQ(slotValue(5), 1.0) << "nothing changes before the next update";
    update();
    EXPECT_EQ(slotValue(5), 0.0);
    EXPECT_EQ(slot(5).started, 0);
    EXPECT_EQ(slot(5).playMode, 0);

    clearCalls();
    update();
    EXPECT_TRUE(calls(5).empty() || !has(methods(5), "Play")) << "0 is StopSound: nothing plays";

    command(5, 1);
    update();
    EXPECT_TRUE(buffer(5)->playing) << "writing 1 again plays the sound again";
    EXPECT_EQ(slot(5).started, 1);
}

TEST_F(SlotCommandCycle, MissingFileWithErrorFlagZeroIsTestedOnlyWhenCommanded) {
    startThreeSlots();
    command(2, 1);
    update();
    EXPECT_EQ(slotValue(2), 0.0);
    EXPECT_EQ(slot(2).loaded, 0);
    EXPECT_EQ(slot(2).started, 0);

    // The file appears, but the variable reads 0 (StopSound on a slot not loaded).
    writeTone("absent.wav");
    update();
    EXPECT_EQ(slot(2).loaded, 0);
    command(2, 1);
    update();
    EXPECT_EQ(slot(2).loaded, 1);
    EXPECT_TRUE(buffer(2)->playing);
}

TEST_F(SlotCommandCycle, MissingFileWithErrorFlagMinusOneRetriesEveryUpdate) {
    startThreeSlots("ErrorFlag=-1");
    for (int command2 : {1, 2, 3, 4}) {
        command(2, command2);
        update();
        EXPECT_EQ(slotValue(2), -1.0) << "command " << command2;
        EXPECT_EQ(slot(2).loaded, 0);
    }
    for (int i = 0; i < 3; ++i) {
        update();
        EXPECT_EQ(slotValue(2), -1.0) << "-1 is PlayOnce: the file is tested again";
    }
    writeTone("absent.wav");
    update();
    EXPECT_EQ(slot(2).loaded, 1);
    EXPECT_TRUE(buffer(2)->playing);
    play(0.2);
    update();
    EXPECT_EQ(slotValue(2), 0.0) << "once played, the variable goes to 0";
}

TEST_F(SlotCommandCycle, FileThatIsNoWaveStaysWithoutABuffer) {
    startThreeSlots();
    command(1, 1);
    update();
    EXPECT_EQ(slot(1).loaded, 1);
    EXPECT_FALSE(buffer(1));
    EXPECT_EQ(slotValue(1), 1.0) << "counts as playing: the variable keeps its value";
    EXPECT_EQ(slot(1).playMode, 0);
    EXPECT_NE(access().slotWaves[1], nullptr) << "the failed WaveFile stays in its slot";
    EXPECT_EQ(platform::openMmioFileCount(), 0u) << "with its file closed again";

    // Even a valid file in its place is never opened again.
    writeTone("junk.wav");
    command(1, 2);
    for (int i = 0; i < 3; ++i) update();
    EXPECT_FALSE(buffer(1));
    EXPECT_EQ(slotValue(1), 2.0);

    command(1, 0);
    slot(1).started = 1;
    update();
    EXPECT_EQ(slot(1).started, 0);
    EXPECT_EQ(slot(1).playMode, 0);

    set("kob_vorlo_volume", 40);
    command(1, 3);
    update();
    EXPECT_FLOAT_EQ(slot(1).volume, -6000.0f);
    EXPECT_EQ(slotValue(1), 0.0) << "ApplyVolume writes playMode back";
    EXPECT_EQ(var("kob_vorlo_volume"), -1.0);

    command(1, 4);
    update();
    EXPECT_EQ(var("kob_vorlo_volume"), 40.0) << "without a buffer the slot's own level is reported";
    EXPECT_EQ(slotValue(1), 0.0);
}

TEST_F(SlotCommandCycle, StopSoundOnASlotNotLoadedTestsNoFile) {
    startThreeSlots("ErrorFlag=-1");
    command(2, 0);
    command(0, 100);  // StopSound with pan 1
    update();
    EXPECT_EQ(slot(2).loaded, 0);
    EXPECT_EQ(slotValue(2), 0.0) << "no error written: no file was tested";
    EXPECT_EQ(slot(0).loaded, 0);
    EXPECT_EQ(platform::liveBufferCount(), 0u);
}

TEST_F(SlotCommandCycle, PlayingOnceIgnoresRestartsAndStopsOnStopSound) {
    startThreeSlots();
    command(0, 1);
    update();
    clearCalls();
    for (double again : {1.0, 2.0, 301.0}) {
        command(0, again);
        update();
        EXPECT_FALSE(has(methods(0), "Play")) << again << ": a playing sound is never restarted";
        EXPECT_EQ(slot(0).playMode, 1);
    }
    command(0, 100);  // StopSound, pan 1: stops and rewinds
    update();
    const auto names = methods(0);
    const auto stop = std::find(names.begin(), names.end(), "Stop");
    ASSERT_NE(stop, names.end());
    EXPECT_EQ(*(stop + 1), "SetCurrentPosition");
    EXPECT_FALSE(buffer(0)->playing);
    EXPECT_EQ(buffer(0)->positionBytes, 0u);
    EXPECT_EQ(slot(0).started, 0);
    EXPECT_EQ(slot(0).playMode, 0);
    EXPECT_EQ(slotValue(0), 100.0) << "StopSound writes no variable";
}

TEST_F(SlotCommandCycle, PlayLoopWaitsForAOneShotToEndThenLoops) {
    startThreeSlots();
    command(0, 1);
    update();
    command(0, 2);
    update();
    EXPECT_FALSE(buffer(0)->looping) << "the sound playing once is left to finish";
    play(0.2);
    update();
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_TRUE(buffer(0)->looping) << "the loop starts at the first update after the end";
    EXPECT_EQ(slot(0).playMode, 2);
    EXPECT_EQ(slotValue(0), 2.0) << "the variable is never set to 0 on the way";
}

TEST_F(SlotCommandCycle, LoopingSlotAnswersEachCommand) {
    startThreeSlots();
    command(0, 2);
    update();
    play(0.3);
    EXPECT_TRUE(buffer(0)->playing) << "a loop wraps";

    clearCalls();
    command(0, 1);
    update();
    EXPECT_EQ(slotValue(0), 2.0) << "PlayOnce on a loop writes 2";
    EXPECT_TRUE(buffer(0)->looping);
    EXPECT_FALSE(has(methods(0), "Play"));

    command(0, 2);
    update();
    EXPECT_FALSE(has(methods(0), "Play"));

    command(0, 4);
    update();
    EXPECT_EQ(slotValue(0), 2.0);
    EXPECT_EQ(var("kob_vorlo_volume"), 100.0);
    EXPECT_TRUE(buffer(0)->playing) << "the loop goes on";

    command(0, 0);
    update();
    EXPECT_FALSE(buffer(0)->playing);
    EXPECT_EQ(slot(0).playMode, 0);
}

TEST_F(SlotCommandCycle, EndedSlotAnswersEachCommand) {
    startThreeSlots();
    // Ended by a lost loop: ApplyVolume and ReportVolume write the play mode, 2.
    command(0, 2);
    update();
    platform::loseBuffer(*bufferId(0), 0);
    set("kob_vorlo_volume", 50);
    command(0, 3);
    update();
    EXPECT_EQ(slotValue(0), 2.0);
    EXPECT_EQ(slot(0).started, 1);
    command(0, 0);
    clearCalls();
    update();
    EXPECT_FALSE(has(methods(0), "Stop")) << "no Stop: it is not playing";
    EXPECT_EQ(slot(0).started, 0);

    // Ended by its end: PlayOnce clears it and writes 0 without playing.
    command(0, 1);
    update();
    play(0.2);
    command(0, 4);
    update();
    EXPECT_EQ(slotValue(0), 1.0) << "ReportVolume on an Ended slot writes playMode 1";
    command(0, 1);
    clearCalls();
    update();
    EXPECT_EQ(slotValue(0), 0.0);
    EXPECT_FALSE(has(methods(0), "Play"));

    // Ended, then PlayLoop: the loop starts.
    command(0, 1);
    update();
    play(0.2);
    command(0, 2);
    update();
    EXPECT_TRUE(buffer(0)->looping);
    EXPECT_EQ(slot(0).started, 1);
}

TEST_F(SlotCommandCycle, FirstUseSetsTheLevelBySimulatorSoundState) {
    struct Case {
        int command;
        std::optional<std::int32_t> soundState;  // nothing: simulator absent, state -1
        std::optional<std::int32_t> expectedVolume;
    };
    const std::vector<Case> cases = {
        {1, std::nullopt, std::nullopt}, {2, std::nullopt, std::nullopt}, {4, std::nullopt, -10000},
        {1, 1, -2000}, {2, 1, -2000}, {4, 1, -2000},
        {1, 0, -10000}, {2, 0, -10000}, {4, 0, -10000},
        {3, 1, std::nullopt}, {3, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        if (c.soundState) simulatorPresent(*c.soundState);
        startThreeSlots();
        if (c.soundState) update();  // the simulator's state is read after the first cycle
        clearCalls();
        command(0, c.command);
        update();
        std::optional<std::int64_t> setVolume;
        for (const auto& call : calls(0))
            if (call.method == "SetVolume") setVolume = call.args.at(0);
        if (c.expectedVolume)
            EXPECT_EQ(setVolume, std::optional<std::int64_t>(*c.expectedVolume)) << c.command;
        else
            EXPECT_FALSE(setVolume) << "command " << c.command << " makes no level call";
    }
}

TEST_F(SlotCommandCycle, FirstUpdateReportsTheBuffersOwnLevel) {
    startThreeSlots();
    command(0, 4);
    update();
    EXPECT_EQ(var("kob_vorlo_volume"), 0.0) << "ReportVolume on a new slot sets -10000 and reports 0";
    EXPECT_EQ(slotValue(0), 0.0);
}

TEST_F(SlotCommandCycle, ApplyVolumeWaitsForALevelAndConvertsIt) {
    simulatorPresent(1);
    startThreeSlots();
    update();
    command(0, 2);
    update();

    command(0, 3);  // the volume variable is -1 after registerVariables
    update();
    EXPECT_EQ(slotValue(0), 3.0) << "the command waits";

    const std::vector<std::pair<double, std::int32_t>> cases = {{0, -10000}, {50, -5000}, {150, 0}, {99.5, -50}};
    for (const auto& [level, attenuation] : cases) {
        set("kob_vorlo_volume", level);
        command(0, 3);
        update();
        EXPECT_EQ(buffer(0)->volume, attenuation) << level;
        EXPECT_FLOAT_EQ(slot(0).volume, static_cast<float>(attenuation)) << level;
        EXPECT_EQ(slotValue(0), 2.0) << "back to the play mode";
        EXPECT_EQ(var("kob_vorlo_volume"), -1.0) << "reset after use";
    }
}

TEST_F(SlotCommandCycle, ApplyVolumeWithoutSoundOnChangesOnlyTheSlotsLevel) {
    startThreeSlots();
    command(0, 2);
    update();
    set("kob_vorlo_volume", 30);
    command(0, 3);
    update();
    EXPECT_EQ(buffer(0)->volume, 0) << "simSoundState is -1: the buffer keeps its level";
    EXPECT_FLOAT_EQ(slot(0).volume, -7000.0f);
    EXPECT_EQ(slotValue(0), 2.0);
}

TEST_F(SlotCommandCycle, TwoSlotsApplyVolumeInOneUpdate) {
    for (int reset : {1, 0}) {
        TearDown();
        SetUp();
        simulatorPresent(1);
        tone = writeTone("tone.wav");
        startWithSounds({tone, tone, tone}, "ResetVolumeVar=" + std::to_string(reset));
        update();
        set("kob_vorlo_volume", 60);
        command(0, 3);
        command(2, 3);
        update();
        EXPECT_FLOAT_EQ(slot(0).volume, -4000.0f) << reset;
        if (reset) {
            EXPECT_FLOAT_EQ(slot(2).volume, 0.0f) << "the higher slot reads -1 and waits";
            EXPECT_EQ(slotValue(2), 3.0);
            EXPECT_EQ(var("kob_vorlo_volume"), -1.0);
        } else {
            EXPECT_FLOAT_EQ(slot(2).volume, -4000.0f) << "both take the same value";
            EXPECT_EQ(slotValue(2), 0.0);
            EXPECT_EQ(var("kob_vorlo_volume"), 60.0);
            command(1, 3);
            update();
            EXPECT_FLOAT_EQ(slot(1).volume, -4000.0f) << "and so does a slot set to 3 later";
        }
    }
}

TEST_F(SlotCommandCycle, PlayedLevelReachesKobVolumePlayed) {
    simulatorPresent(1);
    startThreeSlots();
    update();
    command(0, 1);
    update();
    EXPECT_EQ(var("kob_volume_played"), 80.0) << "level 80 from the configuration";
}

TEST_F(SlotCommandCycle, AFailedStartIsNotNoticed) {
    startThreeSlots();
    command(0, 2);
    update();
    command(0, 0);
    update();
    platform::failAudioCalls(platform::AudioCall::Play, DSERR_INVALIDCALL, 1);
    command(0, 1);
    update();
    EXPECT_EQ(slot(0).started, 1);
    EXPECT_EQ(slot(0).playMode, 1);
    EXPECT_FALSE(buffer(0)->playing);
    update();
    EXPECT_EQ(slotValue(0), 0.0) << "taken as ended at the next update";
}

TEST_F(SlotCommandCycle, LostLoopIsRestoredRefilledAndStartedAgain) {
    startThreeSlots();
    command(0, 2);
    update();
    const auto id = *bufferId(0);
    const auto original = platform::bufferContents(id);
    platform::loseBuffer(id, 2);
    clearCalls();
    update();
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_TRUE(buffer(0)->looping);
    EXPECT_EQ(platform::bufferContents(id), original) << "refilled from the first data byte";
    const auto names = methods(0);
    const auto restore = std::find(names.begin(), names.end(), "Restore");
    const auto lock = std::find(names.begin(), names.end(), "Lock");
    const auto play = std::find(names.begin(), names.end(), "Play");
    EXPECT_LT(restore, lock);
    EXPECT_LT(lock, play);
}

TEST_F(SlotCommandCycle, LostOneShotCountsAsEnded) {
    startThreeSlots();
    command(0, 1);
    update();
    platform::loseBuffer(*bufferId(0), 0);
    update();
    EXPECT_EQ(slotValue(0), 0.0);
    EXPECT_EQ(slot(0).started, 0);
}

TEST_F(SlotCommandCycle, IdleAndPlayingOnceAnswerVolumeCommands) {
    startThreeSlots();
    set("kob_vorlo_volume", 70);
    command(0, 3);  // first use without a level call, then apply: Idle
    update();
    EXPECT_EQ(slot(0).loaded, 1);
    EXPECT_FALSE(buffer(0)->playing);
    EXPECT_FLOAT_EQ(slot(0).volume, -3000.0f);
    EXPECT_EQ(slotValue(0), 0.0) << "Idle: playMode 0";

    command(0, 3);  // the volume variable is back at -1: Idle waits
    update();
    EXPECT_EQ(slotValue(0), 3.0);

    command(0, 0);  // Idle, StopSound: no buffer call beyond the playing test
    clearCalls();
    update();
    EXPECT_FALSE(has(methods(0), "Stop"));
    EXPECT_EQ(slot(0).playMode, 0);

    command(0, 1);
    update();
    set("kob_vorlo_volume", 20);
    command(0, 3);
    update();
    EXPECT_EQ(slotValue(0), 1.0) << "PlayingOnce: ApplyVolume writes 1";
    command(0, 4);
    update();
    EXPECT_EQ(slotValue(0), 1.0) << "PlayingOnce: ReportVolume writes 1";
    EXPECT_EQ(var("kob_vorlo_volume"), 100.0) << "the buffer's own level: sound state unknown, never set";
    EXPECT_TRUE(buffer(0)->playing);
}

}  // namespace
}  // namespace kob::test
