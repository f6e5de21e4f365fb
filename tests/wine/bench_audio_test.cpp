// The demo under Wine, heard: kob-bench.exe drives the x64 module on Wine's
// own DirectSound while the sound server's null sink is recorded in stereo,
// and the recording must match the native render of the same scenario level
// for level, per channel, tenth of a second by tenth of a second.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "level_profile.h"
#include "temp_dir.h"
#include "wine_environment.h"

namespace kob::test::wine {
namespace {

constexpr std::size_t kOnsetWindow = kLevelRate / 100;  // 10 ms
constexpr std::size_t kLevelWindow = kLevelRate / 10;   // 100 ms

// An environment of the test's own, so that nothing else plays into the
// sink it records.
class OwnEnvironment {
public:
    explicit OwnEnvironment(std::filesystem::path state) : state_(std::move(state)) {
        started_ = environmentCommand("start", state_) == 0;
    }
    ~OwnEnvironment() { stop(); }
    OwnEnvironment(const OwnEnvironment&) = delete;
    OwnEnvironment& operator=(const OwnEnvironment&) = delete;
    bool started() const { return started_; }
    const std::filesystem::path& state() const { return state_; }
    // Stops everything; true when nothing was left running.
    bool stop() {
        if (!started_) return true;
        started_ = false;
        return environmentCommand("stop", state_) == 0;
    }

private:
    std::filesystem::path state_;
    bool started_ = false;
};

TEST(BenchUnderWine, DemoSoundsAsTheNativeRenderDoes) {
    KOB_REQUIRE_WINE();
    const std::filesystem::path windowsBench = KOB_WINDOWS_X64_BENCH;
    const std::filesystem::path windowsModule = KOB_WINDOWS_X64_MODULE;
    ASSERT_TRUE(std::filesystem::exists(windowsBench)) << windowsBench << " is missing: build the windows-x64 preset first";
    ASSERT_TRUE(std::filesystem::exists(windowsModule)) << windowsModule << " is missing: build the windows-x64 preset first";
    const std::filesystem::path scenario = KOB_DEMO_SCENARIO;
    const std::filesystem::path root = KOB_DEMO_ROOT;

    TempDir folder;
    const auto recording = folder.path() / "demo-wine.raw";
    const auto render = folder.path() / "demo-native.wav";
    {
        OwnEnvironment environment(folder.path() / "environment");
        ASSERT_TRUE(environment.started());
        ASSERT_EQ(environmentCommand("record-start", environment.state(), {recording.string(), "2"}), 0);
        const int played = runWindows(environment.state(), folder.path(), windowsBench,
                                      {"run", scenario.string(), "--quiet", "--root", root.string(), "--module",
                                       windowsModule.string()});
        ASSERT_EQ(environmentCommand("record-stop", environment.state()), 0);
        EXPECT_EQ(played, 0) << "the demo's expectations did not all hold under Wine";
        EXPECT_TRUE(environment.stop()) << "the Wine environment left processes running";
    }
    ASSERT_EQ(runNative(folder.path(), KOB_NATIVE_BENCH,
                        {"run", scenario.string(), "--quiet", "--root", root.string(), "--render", render.string()}),
              0);

    const StereoSound native = readWaveFile(render);
    const StereoSound wine = readRawRecording(recording);
    const auto nativeOnset = firstOnset(native, -50.0, kOnsetWindow);
    const auto wineOnset = firstOnset(wine, -50.0, kOnsetWindow);
    ASSERT_TRUE(nativeOnset.has_value()) << "the native render is silent";
    ASSERT_TRUE(wineOnset.has_value()) << "nothing audible reached the sound server";

    const LevelProfile expected = levelProfile(native, *nativeOnset, kLevelWindow);
    const LevelProfile found = levelProfile(wine, *wineOnset, kLevelWindow);
    // The recording runs on past the scenario's end; it must not stop short
    // by more than a window.
    ASSERT_GE(found.left.size() + 1, expected.left.size()) << "the recording is shorter than the render";
    const LevelComparison comparison = compareLevels(expected, found, LevelLimits{});
    std::printf("levels: %zu windows of 100 ms; %zu level checks, largest deviation %.2f dB; %zu silence checks; "
                "%zu skipped at transitions; onset %.3f s (native) and %.3f s (Wine) into each\n",
                comparison.windows, comparison.levelChecks, comparison.largestDeviationDb, comparison.silenceChecks,
                comparison.skippedTransitions, static_cast<double>(*nativeOnset) / kLevelRate,
                static_cast<double>(*wineOnset) / kLevelRate);
    EXPECT_GT(comparison.levelChecks, 100u) << "too little of the demo was compared";
    for (const auto& mismatch : comparison.mismatches) ADD_FAILURE() << mismatch;
}

}  // namespace
}  // namespace kob::test::wine
