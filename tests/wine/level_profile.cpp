#include "level_profile.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kob::test::wine {
namespace {

double dbfs(double sumOfSquares, std::size_t count) {
    if (count == 0 || sumOfSquares <= 0.0) return kFloorDbfs;
    return std::max(kFloorDbfs, 10.0 * std::log10(sumOfSquares / static_cast<double>(count)));
}

double sumOfSquares(const std::vector<float>& samples, std::size_t start, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + count; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return sum;
}

std::string describeWindow(std::size_t window, const char* channel) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f s after the onset, %s", static_cast<double>(window) / 10.0, channel);
    return text;
}

std::string formatDb(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", value);
    return text;
}

}  // namespace

StereoSound readWaveFile(const std::filesystem::path& file) {
    SF_INFO info{};
    SNDFILE* handle = sf_open(file.string().c_str(), SFM_READ, &info);
    if (!handle) throw std::runtime_error("cannot read " + file.string() + ": " + sf_strerror(nullptr));
    if (info.channels != 2 || info.samplerate != static_cast<int>(kLevelRate)) {
        sf_close(handle);
        throw std::runtime_error(file.string() + " is not stereo at 44100 Hz");
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * 2);
    const sf_count_t read = sf_readf_float(handle, interleaved.data(), info.frames);
    sf_close(handle);
    StereoSound sound;
    for (sf_count_t i = 0; i < read; ++i) {
        sound.left.push_back(interleaved[static_cast<std::size_t>(2 * i)]);
        sound.right.push_back(interleaved[static_cast<std::size_t>(2 * i + 1)]);
    }
    return sound;
}

StereoSound readRawRecording(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    StereoSound sound;
    const std::size_t frames = bytes.size() / 4;
    sound.left.reserve(frames);
    sound.right.reserve(frames);
    auto sample = [&](std::size_t at) {
        const auto value = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                                     (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
        return static_cast<float>(value) / 32768.0f;
    };
    for (std::size_t i = 0; i < frames; ++i) {
        sound.left.push_back(sample(4 * i));
        sound.right.push_back(sample(4 * i + 2));
    }
    return sound;
}

std::optional<std::size_t> firstOnset(const StereoSound& sound, double thresholdDbfs, std::size_t windowFrames) {
    for (std::size_t start = 0; start + windowFrames <= sound.frames(); start += windowFrames) {
        const double sum = sumOfSquares(sound.left, start, windowFrames) + sumOfSquares(sound.right, start, windowFrames);
        if (dbfs(sum, 2 * windowFrames) > thresholdDbfs) return start;
    }
    return std::nullopt;
}

LevelProfile levelProfile(const StereoSound& sound, std::size_t start, std::size_t windowFrames) {
    LevelProfile profile;
    for (std::size_t at = start; at + windowFrames <= sound.frames(); at += windowFrames) {
        profile.left.push_back(dbfs(sumOfSquares(sound.left, at, windowFrames), windowFrames));
        profile.right.push_back(dbfs(sumOfSquares(sound.right, at, windowFrames), windowFrames));
    }
    return profile;
}

LevelComparison compareLevels(const LevelProfile& reference, const LevelProfile& recorded, const LevelLimits& limits) {
    LevelComparison result;
    result.windows = std::min(reference.left.size(), recorded.left.size());
    const struct {
        const char* name;
        const std::vector<double>& reference;
        const std::vector<double>& recorded;
    } channels[] = {{"left", reference.left, recorded.left}, {"right", reference.right, recorded.right}};
    for (const auto& channel : channels) {
        for (std::size_t i = 0; i < result.windows; ++i) {
            const double expected = channel.reference[i];
            const double found = channel.recorded[i];
            const bool atTransition =
                (i > 0 && std::fabs(expected - channel.reference[i - 1]) > limits.transitionDb) ||
                (i + 1 < channel.reference.size() && std::fabs(expected - channel.reference[i + 1]) > limits.transitionDb);
            if (atTransition) {
                ++result.skippedTransitions;
                continue;
            }
            const bool expectedSilent = expected < limits.silentBelowDbfs;
            const bool foundSilent = found < limits.silentBelowDbfs;
            if (expectedSilent || foundSilent) {
                ++result.silenceChecks;
                // Within the tolerance of the threshold counts as silent too.
                const double nearlySilent = limits.silentBelowDbfs + limits.toleranceDb;
                if ((expectedSilent && found >= nearlySilent) || (foundSilent && expected >= nearlySilent))
                    result.mismatches.push_back(describeWindow(i, channel.name) + ": native " + formatDb(expected) +
                                                ", Wine " + formatDb(found) + " (silent in one only)");
            }
            if (expected > limits.comparedAboveDbfs) {
                ++result.levelChecks;
                const double deviation = std::fabs(found - expected);
                result.largestDeviationDb = std::max(result.largestDeviationDb, deviation);
                if (deviation > limits.toleranceDb)
                    result.mismatches.push_back(describeWindow(i, channel.name) + ": native " + formatDb(expected) +
                                                ", Wine " + formatDb(found));
            }
        }
    }
    return result;
}

}  // namespace kob::test::wine
