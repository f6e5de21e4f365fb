// Volume and pan as linear channel gains, and the ramp that moves a playing
// voice from one gain to the next without a click.
#pragma once

#include <cstdint>

#include "kob_platform/portable/win_types.h"

namespace kob::platform {

struct StereoGain {
    float left = 1.0f;
    float right = 1.0f;
    bool operator==(const StereoGain&) const = default;
};

// Volume is an attenuation in hundredths of a decibel (amplitude
// 10^(volume/2000)); pan attenuates the opposite channel by |pan| hundredths
// of a decibel. -10000 on either is exact silence on the channels it affects.
// Arguments are expected in range (the buffer checks them).
StereoGain gainFor(LONG volume, LONG pan) noexcept;

// Gain changes are spread over this long a linear ramp.
constexpr double kGainRampSeconds = 0.005;
std::uint32_t gainRampFrames(std::uint32_t framesPerSecond) noexcept;

// The gain a voice applies frame by frame: steady, or on a linear ramp that
// ends exactly on its target.
class GainRamp {
public:
    // Starts a ramp from wherever the gain is now.
    void rampTo(StereoGain target, std::uint32_t frames) noexcept;
    // Sets the gain at once (a voice that is not sounding).
    void jumpTo(StereoGain target) noexcept;

    bool ramping() const noexcept { return remaining_ != 0; }
    StereoGain current() const noexcept { return current_; }
    std::uint32_t remainingFrames() const noexcept { return remaining_; }
    // One frame of the ramp: the gain for this frame, then moves on.
    StereoGain next() noexcept;
    // Moves on `frames` frames without producing them.
    void skip(std::uint32_t frames) noexcept;

private:
    StereoGain current_;
    StereoGain target_;
    float stepLeft_ = 0.0f;
    float stepRight_ = 0.0f;
    std::uint32_t remaining_ = 0;
};

}  // namespace kob::platform
