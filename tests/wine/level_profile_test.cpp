// The level comparison the demo's Wine recording is judged by, on made-up
// sounds whose differences are known.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "level_profile.h"

namespace kob::test::wine {
namespace {

struct Segment {
    double seconds;
    double left;   // amplitude, 0 for silence
    double right;
};

StereoSound build(double leadingSilence, std::initializer_list<Segment> segments) {
    StereoSound sound;
    auto append = [&](double seconds, double left, double right) {
        const auto frames = static_cast<std::size_t>(seconds * kLevelRate);
        for (std::size_t i = 0; i < frames; ++i) {
            const double phase = 2.0 * std::numbers::pi * 440.0 * static_cast<double>(sound.frames()) / kLevelRate;
            sound.left.push_back(static_cast<float>(left * std::sin(phase)));
            sound.right.push_back(static_cast<float>(right * std::sin(phase)));
        }
    };
    append(leadingSilence, 0, 0);
    for (const Segment& s : segments) append(s.seconds, s.left, s.right);
    return sound;
}

LevelComparison compare(const StereoSound& reference, const StereoSound& recorded) {
    const auto a = firstOnset(reference, -50.0, kLevelRate / 100);
    const auto b = firstOnset(recorded, -50.0, kLevelRate / 100);
    EXPECT_TRUE(a && b);
    return compareLevels(levelProfile(reference, a.value_or(0), kLevelRate / 10),
                         levelProfile(recorded, b.value_or(0), kLevelRate / 10), LevelLimits{});
}

const std::initializer_list<Segment> kReference = {{1.0, 0.5, 0.1}, {0.5, 0, 0}, {1.0, 0.3, 0.3}, {0.5, 0, 0}};

TEST(LevelComparison, SameSoundLaterInTheFileAgrees) {
    const auto result = compare(build(0.0, kReference), build(0.337, kReference));
    EXPECT_TRUE(result.mismatches.empty()) << result.mismatches.front();
    EXPECT_GT(result.levelChecks, 20u);
    EXPECT_GT(result.silenceChecks, 5u);
    // Onsets are found to the 10 ms window: a window beside a transition may
    // be off by up to a tenth of its length, -0.46 dB.
    EXPECT_LT(result.largestDeviationDb, 0.5);
}

TEST(LevelComparison, FindsWhatDiffers) {
    const struct {
        const char* what;
        std::initializer_list<Segment> recorded;
        bool agrees;
    } cases[] = {
        {"2 dB quieter everywhere: within the tolerance",
         {{1.0, 0.4, 0.08}, {0.5, 0, 0}, {1.0, 0.24, 0.24}, {0.5, 0, 0}}, true},
        {"the second sound 20 ms late: only its edges move", {{1.0, 0.5, 0.1}, {0.52, 0, 0}, {0.98, 0.3, 0.3}, {0.5, 0, 0}}, true},
        {"the right channel 6 dB quieter in the second sound",
         {{1.0, 0.5, 0.1}, {0.5, 0, 0}, {1.0, 0.3, 0.15}, {0.5, 0, 0}}, false},
        {"channels swapped", {{1.0, 0.1, 0.5}, {0.5, 0, 0}, {1.0, 0.3, 0.3}, {0.5, 0, 0}}, false},
        {"sound where the reference is silent", {{1.0, 0.5, 0.1}, {0.5, 0.01, 0.01}, {1.0, 0.3, 0.3}, {0.5, 0, 0}}, false},
        {"the second sound missing", {{1.0, 0.5, 0.1}, {0.5, 0, 0}, {1.0, 0, 0}, {0.5, 0, 0}}, false},
    };
    for (const auto& c : cases) {
        const auto result = compare(build(0.0, kReference), build(0.1, c.recorded));
        EXPECT_EQ(result.mismatches.empty(), c.agrees) << c.what;
    }
}

}  // namespace
}  // namespace kob::test::wine
