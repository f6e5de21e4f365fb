// The portable mixer as the bench's output: each frame renders exactly the
// device frames between round(k * rate / fps) and round((k + 1) * rate / fps),
// so fractional frames never drift. It makes the platform's Sleep virtual
// (time moves only when rendered) and switches its call log off, which would
// otherwise grow with every update.
#pragma once

#include <vector>

#include "audio_output.h"

namespace kob::host {

class MixerOutput final : public AudioOutput {
public:
    explicit MixerOutput(double framesPerSecond);
    std::span<const float> playFrame(std::uint64_t frame) override;
    std::uint32_t sampleRate() const override { return rate_; }

private:
    std::uint64_t frameStart(std::uint64_t frame) const;
    double fps_;
    std::uint32_t rate_;
    std::vector<float> samples_;
};

}  // namespace kob::host
