// The scenario runner against outputs that can and cannot be listened to:
// where nothing is rendered (a real sound device), `expect audio` lines are
// counted as not checked instead of failing, and the other expectations are
// checked as ever.
#include <gtest/gtest.h>

#include "kob_platform/control.h"
#include "mixer_output.h"
#include "scenario_runner.h"
#include "temp_dir.h"

namespace kob::host {
namespace {

// What a real device is to the bench: time passes, nothing can be measured.
class UnheardOutput final : public AudioOutput {
public:
    std::span<const float> playFrame(std::uint64_t) override { return {}; }
    std::uint32_t sampleRate() const override { return 0; }
};

class ScenarioRunnerOutputs : public ::testing::Test {
protected:
    void SetUp() override { platform::reset(); }
    void TearDown() override { platform::reset(); }

    RunResult run(AudioOutput& output) {
        folder_.write("panel.ini", "[Sounds]\nSound00=none.wav\n");
        // Nothing ever plays: `expect audio sound` cannot hold where it is heard.
        const auto file = folder_.write("panel.scn",
                                        "config panel.ini\n"
                                        "0.1 expect audio sound\n"
                                        "0.2 expect audio silence\n"
                                        "0.2 expect kob_sound_indicator 1\n"
                                        "0.2 expect kob_volume_played 12345\n"
                                        "end 0.3\n");
        RunSettings settings;
        settings.module = KOB_TESTABLE_MODULE;
        return runScenario(readScenario(file), settings, output, {});
    }

private:
    test::TempDir folder_;
};

TEST_F(ScenarioRunnerOutputs, AudioExpectationsAreNotCheckedWhereNothingCanBeHeard) {
    UnheardOutput output;
    const RunResult result = run(output);
    EXPECT_EQ(result.uncheckedAudio, 2u);
    // The variable expectations are still checked: the wrong one fails.
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].where.line, 5);
}

TEST_F(ScenarioRunnerOutputs, AudioExpectationsAreCheckedOnTheRenderedMix) {
    MixerOutput output(18.0);
    const RunResult result = run(output);
    EXPECT_EQ(result.uncheckedAudio, 0u);
    ASSERT_EQ(result.failures.size(), 2u);
    EXPECT_EQ(result.failures[0].where.line, 2);  // no sound was heard
    EXPECT_EQ(result.failures[1].where.line, 5);
}

}  // namespace
}  // namespace kob::host
