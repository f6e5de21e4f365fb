// Comparing two recordings of the same panel by their levels: the native
// render and what Wine's DirectSound played into the sound server. Both are
// aligned on their first onset and cut into windows; each channel's RMS level
// is compared window by window.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kob::test::wine {

constexpr std::size_t kLevelRate = 44100;

struct StereoSound {
    std::vector<float> left;
    std::vector<float> right;
    std::size_t frames() const { return left.size(); }
};

// A 16-bit stereo WAV file at 44100 Hz (the bench's render); throws otherwise.
StereoSound readWaveFile(const std::filesystem::path& file);
// A raw s16le stereo recording at 44100 Hz (wine-env.sh record-start ... 2).
StereoSound readRawRecording(const std::filesystem::path& file);

// The first frame of the first window of `windowFrames` whose RMS over both
// channels is above `thresholdDbfs`; none if the sound never gets there.
std::optional<std::size_t> firstOnset(const StereoSound& sound, double thresholdDbfs, std::size_t windowFrames);

// Each channel's RMS level in dBFS per window, from `start`; silence is
// kFloorDbfs. Windows past the end of the sound are not included.
constexpr double kFloorDbfs = -120.0;
struct LevelProfile {
    std::vector<double> left;
    std::vector<double> right;
};
LevelProfile levelProfile(const StereoSound& sound, std::size_t start, std::size_t windowFrames);

struct LevelLimits {
    double comparedAboveDbfs = -50.0;  // the reference's level where levels must agree
    double toleranceDb = 3.0;
    // Where one is below this, the other must be too (or within the
    // tolerance above it).
    double silentBelowDbfs = -60.0;
    // A window whose reference level differs from a neighbour's by more than
    // this is at a level transition: its level depends on exactly when the
    // sound started or stopped within it, so it is not compared.
    double transitionDb = 3.0;
};

struct LevelComparison {
    std::size_t windows = 0;          // compared over both channels
    std::size_t levelChecks = 0;      // windows x channels where the levels were compared
    std::size_t silenceChecks = 0;    // ... where silence in one had to be silence in the other
    std::size_t skippedTransitions = 0;
    double largestDeviationDb = 0.0;  // among the level checks
    std::vector<std::string> mismatches;
};

// Compares `recorded` against `reference` over the windows both have.
LevelComparison compareLevels(const LevelProfile& reference, const LevelProfile& recorded, const LevelLimits& limits);

}  // namespace kob::test::wine
