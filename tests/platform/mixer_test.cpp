// What a listener hears: ends, loops, levels, pitch, formats and gain changes,
// measured on what render() produces.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "audio_test_support.h"

namespace kob::test {
namespace {

using platform::render;

class Mixer : public AudioTest {};

constexpr double kTolerance_dB = 0.1;

// The frequency of a steady tone: whole periods between the first and the
// last rising zero crossing, located between samples by interpolation.
double frequency(std::span<const float> samples, double rate) {
    double first = -1;
    double last = -1;
    int periods = -1;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (!(samples[i - 1] < 0.0f && samples[i] >= 0.0f)) continue;
        const double at = static_cast<double>(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
        if (first < 0) first = at;
        last = at;
        ++periods;
    }
    return periods > 0 ? periods * rate / (last - first) : 0.0;
}

// Renders until the buffer stops (at most `limit` frames), then `after` more.
std::vector<float> renderUntilStopped(IDirectSoundBuffer* b, std::size_t limit, std::size_t after) {
    std::vector<float> out;
    DWORD s = DSBSTATUS_PLAYING;
    while ((s & DSBSTATUS_PLAYING) && out.size() < limit * 2) {
        const auto block = render(100);
        out.insert(out.end(), block.begin(), block.end());
        EXPECT_EQ(b->GetStatus(&s), DS_OK);
    }
    EXPECT_EQ(s & DSBSTATUS_PLAYING, 0u) << "still playing after " << limit << " frames";
    const auto tail = render(after);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

// ---- Ends and loops --------------------------------------------------------------

TEST_F(Mixer, APlayOnceSoundEndsAtItsLastSample) {
    std::vector<float> samples;
    for (int i = 0; i < 1000; ++i) samples.push_back(0.25f + static_cast<float>(i) / 4000.0f);
    IDirectSoundBuffer* b = makeSound(samples, 1, 44100);
    samples = quantized(samples, 16);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);

    const auto head = render(999);
    EXPECT_EQ(status(b), DSBSTATUS_PLAYING) << "the last sample is not consumed yet";
    const auto rest = render(101);
    EXPECT_EQ(status(b), 0u);
    EXPECT_EQ(info(b).positionBytes, 0u) << "a played-once buffer rewinds at its end";

    std::vector<float> out(head);
    out.insert(out.end(), rest.begin(), rest.end());
    for (int i = 0; i < 1000; ++i) {
        ASSERT_FLOAT_EQ(out[2 * i], samples[i]) << i;
        ASSERT_FLOAT_EQ(out[2 * i + 1], samples[i]) << i;
    }
    EXPECT_EQ(peak(std::span<const float>(out).subspan(2000)), 0.0f);

    // Playing it again plays it from the start.
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_FLOAT_EQ(render(1)[0], samples[0]);
}

TEST_F(Mixer, APlayOnceSoundAtAnotherRateIsHeardWholeThenSilence) {
    constexpr std::size_t frames = 2205;  // 0.1 s at 22050 Hz
    const auto tone = sine(1000, 22050, frames, 0.5);
    IDirectSoundBuffer* b = makeSound(tone, 1, 22050);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    const auto out = renderUntilStopped(b, 44100, 44100 / 10);
    const auto left = channel(out, 0);
    // All of it: the energy of 0.2 s of the tone at 44100 Hz.
    double energy = 0;
    for (float s : left) energy += double{s} * s;
    const double expected = 0.5 * 0.5 / 2.0 * frames * 2;
    EXPECT_NEAR(energy / expected, 1.0, 0.02);
    // Then silence: the last 50 ms hold nothing.
    EXPECT_LT(peak(std::span<const float>(left).last(2205)), 1e-4f);
}

TEST_F(Mixer, ALoopWrapsWithoutASeamAtTheDeviceRate) {
    // 441 frames: exactly one period of 100 Hz at 44100 Hz.
    const auto period = sine(100, 44100, 441, 0.8, 2);
    IDirectSoundBuffer* b = makeSound(period, 2, 44100);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::vector<float> out;
    for (int piece : {100, 441, 37, 1000, 2000}) {  // renders of any size, across wraps
        const auto block = render(static_cast<std::size_t>(piece));
        out.insert(out.end(), block.begin(), block.end());
    }
    const auto left = channel(out, 0);
    const auto expected = quantized(channel(period, 0), 16);
    for (std::size_t i = 0; i < left.size(); ++i) ASSERT_FLOAT_EQ(left[i], expected[i % 441]) << i;
    EXPECT_EQ(status(b), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

TEST_F(Mixer, ALoopWrapsWithoutAClickThroughTheResampler) {
    // 441 frames: one period of 50 Hz at 22050 Hz.
    IDirectSoundBuffer* b = makeSound(sine(50, 22050, 441, 0.8), 1, 22050);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(4410);  // past the start of the stream
    const auto out = render(44100);
    const auto left = channel(out, 0);
    // A 50 Hz sine of 0.8 moves at most 2*pi*50/44100*0.8 (about 0.0057) per sample.
    EXPECT_LT(maxStep(left), 0.0065f);
    EXPECT_NEAR(frequency(left, 44100), 50.0, 0.05);
    EXPECT_NEAR(peak(left), 0.8f, 0.01f);
}

// ---- Levels ---------------------------------------------------------------------------

struct LevelCase {
    std::string name;
    DWORD rate;
    LONG volume;
    LONG pan;
    double left_dB;
    double right_dB;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.name; }

class Level : public AudioTest, public ::testing::WithParamInterface<LevelCase> {
protected:
    // Steady-state RMS of each channel of a looping 1 kHz tone at a level.
    std::pair<double, double> measure(DWORD rate, LONG volume, LONG pan) {
        IDirectSoundBuffer* b = makeSound(sine(1000, rate, rate, 0.5), 1, rate);
        EXPECT_EQ(b->SetVolume(volume), DS_OK);
        EXPECT_EQ(b->SetPan(pan), DS_OK);
        EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        render(4410);  // ramps and the resampler's start are over
        const auto out = render(44100 / 2);
        EXPECT_EQ(b->Stop(), DS_OK);
        release(b);
        render(44100);  // let whatever was in flight drain
        return {rms(channel(out, 0)), rms(channel(out, 1))};
    }
};

TEST_P(Level, MatchesTheAttenuationInSteadyState) {
    const LevelCase& c = GetParam();
    const auto [refLeft, refRight] = measure(c.rate, 0, 0);
    const auto [left, right] = measure(c.rate, c.volume, c.pan);
    EXPECT_NEAR(decibels(left / refLeft), c.left_dB, kTolerance_dB);
    EXPECT_NEAR(decibels(right / refRight), c.right_dB, kTolerance_dB);
}

INSTANTIATE_TEST_SUITE_P(Table, Level,
                         ::testing::Values(LevelCase{"Volume600", 44100, -600, 0, -6.0, -6.0},
                                           LevelCase{"PanRight1000", 44100, 0, 1000, -10.0, 0.0},
                                           LevelCase{"PanLeft1000", 44100, 0, -1000, 0.0, -10.0},
                                           LevelCase{"VolumeAndPan", 44100, -1500, -300, -15.0, -18.0},
                                           LevelCase{"Volume600At22050", 22050, -600, 0, -6.0, -6.0},
                                           LevelCase{"PanRight1000At22050", 22050, 0, 1000, -10.0, 0.0},
                                           LevelCase{"Volume2000At11025", 11025, -2000, 0, -20.0, -20.0}),
                         [](const auto& tested) { return tested.param.name; });

TEST_F(Mixer, TheLowestVolumeAndAFullPanAreExactSilence) {
    IDirectSoundBuffer* quiet = makeSound(sine(1000, 44100, 4410, 0.9), 1, 44100);
    IDirectSoundBuffer* right = makeSound(sine(1000, 44100, 4410, 0.9), 1, 44100);
    ASSERT_EQ(quiet->SetVolume(DSBVOLUME_MIN), DS_OK);
    ASSERT_EQ(right->SetPan(DSBPAN_RIGHT), DS_OK);
    ASSERT_EQ(quiet->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(right->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = render(4410);
    EXPECT_EQ(peak(channel(out, 0)), 0.0f);
    EXPECT_GT(peak(channel(out, 1)), 0.85f);
}

TEST_F(Mixer, PlaybackStartsAtTheLevelSetAndHoldsItExactly) {
    const std::vector<float> dc(1000, 0.5f);
    IDirectSoundBuffer* b = makeSound(dc, 1, 44100);
    ASSERT_EQ(b->SetVolume(-600), DS_OK);
    ASSERT_EQ(b->SetPan(-1000), DS_OK);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = render(3000);
    const float left = 0.5f * static_cast<float>(std::pow(10.0, -600 / 2000.0));
    const float right = 0.5f * static_cast<float>(std::pow(10.0, -600 / 2000.0) * std::pow(10.0, -1000 / 2000.0));
    for (std::size_t i = 0; i < 3000; ++i) {
        ASSERT_NEAR(out[2 * i], left, 1e-6f) << i;
        ASSERT_NEAR(out[2 * i + 1], right, 1e-6f) << i;
    }
}

// ---- Gain changes ------------------------------------------------------------------------

struct GainChangeCase {
    std::string name;
    DWORD rate;
    float maxStep;
};

void PrintTo(const GainChangeCase& c, std::ostream* os) { *os << c.name; }

class GainChange : public AudioTest, public ::testing::WithParamInterface<GainChangeCase> {};

TEST_P(GainChange, GlidesWithoutAClickAndSettlesExactly) {
    const DWORD rate = GetParam().rate;
    IDirectSoundBuffer* b = makeSound(std::vector<float>(rate / 10, 0.5f), 1, rate);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(8820);  // a steady 0.5 on both channels
    std::vector<float> out;
    const auto add = [&](std::size_t frames, std::size_t piece) {
        for (std::size_t done = 0; done < frames; done += piece) {
            const auto block = render(piece);  // small renders: the ramp carries across them
            out.insert(out.end(), block.begin(), block.end());
        }
    };
    add(10, 1);
    ASSERT_EQ(b->SetVolume(DSBVOLUME_MIN), DS_OK);
    add(4410, 7);
    ASSERT_EQ(b->SetVolume(0), DS_OK);
    ASSERT_EQ(b->SetPan(DSBPAN_LEFT), DS_OK);
    add(4410, 49);
    const auto left = channel(out, 0);
    const auto right = channel(out, 1);
    EXPECT_LT(maxStep(left), GetParam().maxStep);
    EXPECT_LT(maxStep(right), GetParam().maxStep);
    // Silent after the first ramp, back to full level on the left after the second.
    EXPECT_LT(std::fabs(left[4410]), 1e-4f);
    EXPECT_NEAR(left.back(), 0.5f, 1e-4f);
    EXPECT_LT(std::fabs(right.back()), 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Rates, GainChange,
                         // At the device rate a 5 ms ramp of 0.5 moves 0.5/220 a sample.
                         ::testing::Values(GainChangeCase{"DeviceRate", 44100, 0.0025f},
                                           GainChangeCase{"Resampled22050", 22050, 0.004f}),
                         [](const auto& tested) { return tested.param.name; });

// ---- Pitch and formats ---------------------------------------------------------------------

TEST_F(Mixer, A22050HzMonoToneKeepsItsPitchAt44100HzStereo) {
    IDirectSoundBuffer* b = makeSound(sine(1000, 22050, 22050, 0.5), 1, 22050);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(4410);
    const auto out = render(44100);
    EXPECT_NEAR(frequency(channel(out, 0), 44100), 1000.0, 0.05);
    EXPECT_NEAR(frequency(channel(out, 1), 44100), 1000.0, 0.05);
    EXPECT_NEAR(rms(channel(out, 0)), 0.5 / std::sqrt(2.0), 0.005);
}

TEST_F(Mixer, PitchHoldsAtAnotherDeviceRate) {
    platform::setDeviceRate(48000);
    EXPECT_EQ(platform::deviceRate(), 48000u);
    IDirectSoundBuffer* b = makeSound(sine(440, 11025, 11025, 0.5, 2), 2, 11025);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(4800);
    const auto out = render(48000);
    EXPECT_NEAR(frequency(channel(out, 0), 48000), 440.0, 0.05);
    EXPECT_THROW(platform::setDeviceRate(100), std::invalid_argument);
}

struct TwinCase {
    std::string name;
    WORD channels;
    DWORD rate;
};

void PrintTo(const TwinCase& c, std::ostream* os) { *os << c.name; }

class EightBitTwin : public AudioTest, public ::testing::WithParamInterface<TwinCase> {};

TEST_P(EightBitTwin, SoundsLikeItsSixteenBitTwin) {
    const auto [name, channels, rate] = GetParam();
    const auto tone = sine(440, rate, rate / 2, 0.7, channels);
    const auto play = [&](WORD bits) {
        IDirectSoundBuffer* b = makeSound(tone, channels, rate, bits);
        EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        const auto out = render(44100 / 2);
        EXPECT_EQ(b->Stop(), DS_OK);
        release(b);
        return out;
    };
    const auto sixteen = play(16);
    restart();  // the same resampler history for both
    const auto eight = play(8);
    std::vector<float> difference;
    for (std::size_t i = 0; i < sixteen.size(); ++i) difference.push_back(eight[i] - sixteen[i]);
    // 8-bit quantisation noise sits some 45 dB below a tone this loud.
    EXPECT_LT(decibels(rms(difference) / rms(sixteen)), -38.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, EightBitTwin,
                         ::testing::Values(TwinCase{"MonoAt44100", 1, 44100}, TwinCase{"StereoAt44100", 2, 44100},
                                           TwinCase{"MonoAt22050", 1, 22050}, TwinCase{"StereoAt8000", 2, 8000}),
                         [](const auto& tested) { return tested.param.name; });

TEST_F(Mixer, StereoChannelsStaySeparate) {
    std::vector<float> leftOnly;
    for (float s : sine(1000, 22050, 2205, 0.5)) {
        leftOnly.push_back(s);
        leftOnly.push_back(0.0f);
    }
    IDirectSoundBuffer* b = makeSound(leftOnly, 2, 22050);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = render(8820);
    EXPECT_GT(rms(channel(out, 0)), 0.3);
    EXPECT_EQ(peak(channel(out, 1)), 0.0f);
}

// ---- Mixing and timing ---------------------------------------------------------------------

TEST_F(Mixer, VoicesAddUpAtEveryRate) {
    IDirectSoundBuffer* a = makeSound(std::vector<float>(2205, 0.25f), 1, 22050);
    IDirectSoundBuffer* b = makeSound(std::vector<float>(2205, 0.125f), 1, 22050);
    IDirectSoundBuffer* c = makeSound(std::vector<float>(4410, 0.0625f), 1, 44100);
    IDirectSoundBuffer* d = makeSound(std::vector<float>(3200, 0.03125f), 1, 32000);
    for (auto* v : {a, b, c, d}) ASSERT_EQ(v->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(8820);
    const auto out = render(4410);
    for (float s : out) ASSERT_NEAR(s, 0.46875f, 1e-3f);
}

TEST_F(Mixer, HowARenderIsCutDoesNotChangeWhatIsHeard) {
    const auto scenario = [&](std::span<const std::size_t> pieces) {
        restart();
        IDirectSoundBuffer* b = makeSound(sine(700, 22050, 3000, 0.5), 1, 22050);
        IDirectSoundBuffer* c = makeSound(sine(300, 44100, 5000, 0.3, 2), 2, 44100);
        EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        EXPECT_EQ(c->Play(0, 0, 0), DS_OK);
        std::vector<float> out;
        for (std::size_t piece : pieces) {
            const auto block = render(piece);
            out.insert(out.end(), block.begin(), block.end());
        }
        return out;
    };
    const std::size_t whole[] = {9000};
    const std::size_t cut[] = {1, 7, 513, 1000, 2047, 32, 5400};
    const auto once = scenario(whole);
    const auto pieces = scenario(cut);
    ASSERT_EQ(once.size(), pieces.size());
    for (std::size_t i = 0; i < once.size(); ++i) ASSERT_NEAR(once[i], pieces[i], 1e-5f) << i;
}

TEST_F(Mixer, PositionsMoveOnlyWithRenders) {
    IDirectSoundBuffer* b = makeSound(sine(1000, 44100, 44100, 0.5, 2), 2, 44100);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(info(b).positionBytes, 0u);
    render(1234);
    EXPECT_EQ(info(b).positionBytes, 1234u * 4);
    EXPECT_EQ(info(b).positionBytes, 1234u * 4);
}

TEST_F(Mixer, RenderWantsWholeFrames) {
    std::vector<float> odd(3);
    EXPECT_THROW(render(std::span<float>(odd)), std::invalid_argument);
}

}  // namespace
}  // namespace kob::test
