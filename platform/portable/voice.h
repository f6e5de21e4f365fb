// A buffer as the mixer sees it: its PCM samples, where it is, whether and how
// it plays, and its gain. Mixing a voice reads it at its own rate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "stereo_gain.h"

namespace kob::platform {

struct PcmShape {
    std::uint16_t channels = 2;        // 1 or 2
    std::uint16_t bytesPerSample = 2;  // 1 (unsigned 8-bit) or 2 (signed 16-bit, little-endian)
    std::uint32_t framesPerSecond = 44100;

    std::uint32_t bytesPerFrame() const noexcept { return std::uint32_t{channels} * bytesPerSample; }
};

struct Voice {
    PcmShape shape;
    std::span<const std::uint8_t> data;  // whole frames; empty until written (plays silence)
    std::uint32_t frames = 1;            // whole frames in the buffer, at least 1
    std::uint32_t frame = 0;             // the next frame to read
    bool playing = false;
    bool looping = false;
    GainRamp gain;
};

// Adds the voice into interleaved stereo `out` from its position on, at its
// own rate, and moves it on. A looping voice wraps; one played once stops at
// its last frame and is rewound. Returns the frames it produced.
std::size_t mixVoice(Voice& voice, std::span<float> stereoOut) noexcept;

}  // namespace kob::platform
