// Helpers for the portable DirectSound tests: a device per test, buffers made
// and filled from samples generated in code, and measurements of what the
// mixer renders.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"
#include "kob_platform/win32.h"

namespace kob::test {

inline WAVEFORMATEX pcmFormat(WORD channels, DWORD rate, WORD bits) {
    const auto blockAlign = static_cast<WORD>(channels * bits / 8);
    return {WAVE_FORMAT_PCM, channels, rate, rate * blockAlign, blockAlign, bits, 0};
}

// The flags the module's slot buffers are made with.
constexpr DWORD kSlotFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
// The module's probe buffer.
constexpr DWORD kProbeFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_LOCSOFTWARE;

inline DSBUFFERDESC bufferDescription(WAVEFORMATEX& format, DWORD bytes, DWORD flags = kSlotFlags) {
    DSBUFFERDESC d{};
    d.dwSize = sizeof(DSBUFFERDESC);
    d.dwFlags = flags;
    d.dwBufferBytes = bytes;
    d.lpwfxFormat = &format;
    return d;
}

// Interleaved samples in -1..1 as PCM bytes.
inline std::vector<std::uint8_t> encodePcm(std::span<const float> samples, WORD bits) {
    std::vector<std::uint8_t> bytes;
    for (float s : samples) {
        if (bits == 8) {
            bytes.push_back(static_cast<std::uint8_t>(std::lround(std::clamp(s * 128.0f + 128.0f, 0.0f, 255.0f))));
        } else {
            const auto v = static_cast<std::int16_t>(std::lround(std::clamp(s * 32768.0f, -32768.0f, 32767.0f)));
            const auto u = static_cast<std::uint16_t>(v);
            bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(u >> 8));
        }
    }
    return bytes;
}

// The samples as the mixer reads them back from `bits`-bit PCM.
inline std::vector<float> quantized(std::span<const float> samples, WORD bits) {
    const float scale = bits == 8 ? 128.0f : 32768.0f;
    std::vector<float> out;
    for (float s : samples) out.push_back(std::clamp(std::round(s * scale), -scale, scale - 1.0f) / scale);
    return out;
}

// A sine of `frames` frames on every channel.
inline std::vector<float> sine(double hz, double rate, std::size_t frames, double amplitude, int channels = 1) {
    std::vector<float> s;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s.push_back(static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate)));
    return s;
}

// One channel (0 left, 1 right) of interleaved stereo.
inline std::vector<float> channel(std::span<const float> stereo, int which) {
    std::vector<float> out;
    for (std::size_t i = static_cast<std::size_t>(which); i < stereo.size(); i += 2) out.push_back(stereo[i]);
    return out;
}

inline double rms(std::span<const float> samples) {
    double sum = 0;
    for (float s : samples) sum += double{s} * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

inline double decibels(double ratio) { return 20.0 * std::log10(ratio); }

inline float maxStep(std::span<const float> samples) {
    float step = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) step = std::max(step, std::fabs(samples[i] - samples[i - 1]));
    return step;
}

inline float peak(std::span<const float> samples) {
    float p = 0;
    for (float s : samples) p = std::max(p, std::fabs(s));
    return p;
}

// Every test starts from a clean platform with one device at the default rate.
class AudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::reset();
        ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        for (IDirectSoundBuffer* b : held) b->Release();
        if (device) device->Release();
        platform::reset();
    }

    // Releases everything, resets the platform and opens a new device, so a
    // test can run a scenario twice from the same start.
    void restart() {
        for (IDirectSoundBuffer* b : held) b->Release();
        held.clear();
        if (device) device->Release();
        device = nullptr;
        platform::reset();
        ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    }

    // A buffer of the given format holding `bytes`, released at the end of the test.
    IDirectSoundBuffer* makeBuffer(WAVEFORMATEX format, std::span<const std::uint8_t> bytes,
                                   DWORD flags = kSlotFlags) {
        DSBUFFERDESC d = bufferDescription(format, static_cast<DWORD>(bytes.size()), flags);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&d, &buffer, nullptr), DS_OK);
        if (!buffer) return nullptr;
        held.push_back(buffer);
        write(buffer, bytes);
        return buffer;
    }

    // Samples (interleaved by the format's channels) as a filled buffer.
    IDirectSoundBuffer* makeSound(std::span<const float> samples, WORD channels, DWORD rate, WORD bits = 16) {
        return makeBuffer(pcmFormat(channels, rate, bits), encodePcm(samples, bits));
    }

    static void write(IDirectSoundBuffer* buffer, std::span<const std::uint8_t> bytes) {
        void* p1 = nullptr;
        void* p2 = nullptr;
        DWORD n1 = 0;
        DWORD n2 = 0;
        ASSERT_EQ(buffer->Lock(0, static_cast<DWORD>(bytes.size()), &p1, &n1, &p2, &n2, 0), DS_OK);
        ASSERT_EQ(n1, bytes.size());
        std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(p1));
        ASSERT_EQ(buffer->Unlock(p1, n1, nullptr, 0), DS_OK);
    }

    // Lets go of a buffer before the end of the test.
    void release(IDirectSoundBuffer* buffer) {
        std::erase(held, buffer);
        buffer->Release();
    }

    static DWORD status(IDirectSoundBuffer* buffer) {
        DWORD s = 0;
        EXPECT_EQ(buffer->GetStatus(&s), DS_OK);
        return s;
    }

    static platform::BufferInfo info(IDirectSoundBuffer* buffer) {
        const auto id = platform::bufferIdOf(buffer);
        EXPECT_TRUE(id.has_value());
        return id ? *platform::bufferInfo(*id) : platform::BufferInfo{};
    }

    IDirectSound* device = nullptr;
    std::vector<IDirectSoundBuffer*> held;
};

}  // namespace kob::test
