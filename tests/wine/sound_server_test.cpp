// Wine's DirectSound reaches the sound server: a Windows program plays a tone
// while the null sink's monitor is recorded, and the recording holds it. And
// the environment leaves nothing running once stopped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "temp_dir.h"
#include "wine_environment.h"

namespace kob::test::wine {
namespace {

constexpr std::size_t sampleRate = 44100;  // the recording: s16le, mono

std::vector<std::int16_t> readRecording(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                               (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
}

struct Window {
    double rmsDbfs = -200.0;
    std::size_t start = 0;
};

// The loudest tenth of a second: the recording also holds silence before and
// after, as long as the sound server took to start and stop.
Window loudestWindow(const std::vector<std::int16_t>& samples) {
    constexpr std::size_t length = sampleRate / 10;
    Window best;
    for (std::size_t start = 0; start + length <= samples.size(); start += length / 4) {
        double sum = 0;
        for (std::size_t i = start; i < start + length; ++i) sum += double(samples[i]) * samples[i];
        const double rms = std::sqrt(sum / length) / 32768.0;
        const double db = rms > 0 ? 20 * std::log10(rms) : -200.0;
        if (db > best.rmsDbfs) best = {db, start};
    }
    return best;
}

std::size_t zeroCrossings(const std::vector<std::int16_t>& samples, std::size_t start, std::size_t length) {
    std::size_t count = 0;
    for (std::size_t i = start + 1; i < start + length; ++i)
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++count;
    return count;
}

TEST(WineSoundServer, ToneFromDirectSoundIsRecorded) {
    KOB_REQUIRE_WINE();
    const auto tone = windowsProgram("dsound_tone.exe");
    ASSERT_TRUE(std::filesystem::exists(tone)) << tone << " is missing: build the windows-x64 preset first";
    TempDir folder;
    const auto recording = folder.path() / "tone.raw";
    ASSERT_EQ(environmentCommand("record-start", sharedEnvironment(), {recording.string()}), 0);
    // 600 ms of 1 kHz at about -6 dBFS peak.
    const int played = runWindows(sharedEnvironment(), folder.path(), tone, {"600", "1000"});
    ASSERT_EQ(environmentCommand("record-stop", sharedEnvironment()), 0);
    ASSERT_EQ(played, 0) << "dsound_tone failed under Wine";

    const auto samples = readRecording(recording);
    ASSERT_GE(samples.size(), sampleRate / 10) << "the recording is shorter than a tenth of a second";
    const Window loudest = loudestWindow(samples);
    EXPECT_GT(loudest.rmsDbfs, -50.0) << "nothing audible reached the null sink";
    // A 1 kHz tone crosses zero about 200 times in 100 ms: it is our tone,
    // not noise.
    const std::size_t crossings = zeroCrossings(samples, loudest.start, sampleRate / 10);
    EXPECT_NEAR(static_cast<double>(crossings), 200.0, 20.0);
}

TEST(WineSoundServer, StoppingLeavesNothingRunning) {
    KOB_REQUIRE_WINE();
    TempDir folder;
    const auto state = folder.path() / "environment";
    ASSERT_EQ(environmentCommand("start", state), 0);
    ASSERT_EQ(environmentCommand("record-start", state, {(folder.path() / "rec.raw").string()}), 0);
    // Something is running now, and the check sees it.
    EXPECT_NE(environmentCommand("leftovers", state), 0);
    ASSERT_EQ(environmentCommand("stop", state), 0);

    EXPECT_EQ(environmentCommand("leftovers", state), 0);
    EXPECT_FALSE(std::filesystem::exists(state));
    // pgrep as a second opinion: pulseaudio and parec name the folder on
    // their command lines. "[/]" keeps the shell running pgrep from matching.
    const std::string pgrep = "pgrep -f '[/]" + state.string().substr(1) + "' >/dev/null";
    EXPECT_NE(std::system(pgrep.c_str()), 0) << "a process naming " << state << " is still running";
}

}  // namespace
}  // namespace kob::test::wine
