// Volume and pan to gains; the linear gain ramp.
#include "stereo_gain.h"

#include <algorithm>
#include <cmath>

namespace kob::platform {
namespace {

constexpr LONG kSilence = -10000;

double amplitude(LONG attenuation) noexcept {
    if (attenuation <= kSilence) return 0.0;
    return std::pow(10.0, static_cast<double>(attenuation) / 2000.0);
}

}  // namespace

StereoGain gainFor(LONG volume, LONG pan) noexcept {
    const double level = amplitude(volume);
    // A positive pan lowers the left channel, a negative one the right.
    const double left = pan > 0 ? amplitude(-pan) : 1.0;
    const double right = pan < 0 ? amplitude(pan) : 1.0;
    return {static_cast<float>(level * left), static_cast<float>(level * right)};
}

std::uint32_t gainRampFrames(std::uint32_t framesPerSecond) noexcept {
    const auto frames = static_cast<std::uint32_t>(std::lround(framesPerSecond * kGainRampSeconds));
    return std::max<std::uint32_t>(frames, 1);
}

void GainRamp::rampTo(StereoGain target, std::uint32_t frames) noexcept {
    target_ = target;
    if (target == current_ || frames == 0) {
        jumpTo(target);
        return;
    }
    remaining_ = frames;
    stepLeft_ = (target.left - current_.left) / static_cast<float>(frames);
    stepRight_ = (target.right - current_.right) / static_cast<float>(frames);
}

void GainRamp::jumpTo(StereoGain target) noexcept {
    current_ = target_ = target;
    remaining_ = 0;
}

StereoGain GainRamp::next() noexcept {
    if (remaining_ == 0) return current_;
    if (--remaining_ == 0) {
        // The last step lands exactly on the target, whatever the rounding.
        current_ = target_;
    } else {
        current_.left += stepLeft_;
        current_.right += stepRight_;
    }
    return current_;
}

void GainRamp::skip(std::uint32_t frames) noexcept {
    if (frames >= remaining_) {
        jumpTo(target_);
        return;
    }
    remaining_ -= frames;
    current_.left += stepLeft_ * static_cast<float>(frames);
    current_.right += stepRight_ * static_cast<float>(frames);
}

}  // namespace kob::platform
