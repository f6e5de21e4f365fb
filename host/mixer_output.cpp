#include "mixer_output.h"

#include <cmath>

#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"

namespace kob::host {

MixerOutput::MixerOutput(double framesPerSecond) : fps_(framesPerSecond), rate_(platform::deviceRate()) {
    platform::setSleepVirtual(true);
    platform::setAudioCallLogging(false);
    platform::clearAudioCallLog();
    samples_.reserve(2 * (static_cast<std::size_t>(rate_ / fps_) + 2));
}

std::uint64_t MixerOutput::frameStart(std::uint64_t frame) const {
    return static_cast<std::uint64_t>(std::llround(static_cast<double>(frame) * rate_ / fps_));
}

std::span<const float> MixerOutput::playFrame(std::uint64_t frame) {
    const std::uint64_t frames = frameStart(frame + 1) - frameStart(frame);
    samples_.resize(2 * frames);
    platform::render(std::span<float>(samples_));
    return samples_;
}

}  // namespace kob::host
