// A real sound device as the bench's output: the device plays on its own
// clock, so the bench only lets each frame's time pass in real time. Frame k
// ends at (k + 1) / fps seconds after the first frame; a late frame is not
// made up by shortening the wait, it just does not wait. Nothing is rendered.
#pragma once

#include <chrono>

#include "audio_output.h"

namespace kob::host {

class PacedOutput final : public AudioOutput {
public:
    explicit PacedOutput(double framesPerSecond);
    ~PacedOutput() override;
    PacedOutput(const PacedOutput&) = delete;
    PacedOutput& operator=(const PacedOutput&) = delete;
    std::span<const float> playFrame(std::uint64_t frame) override;
    std::uint32_t sampleRate() const override { return 0; }

private:
    double fps_;
    std::chrono::steady_clock::time_point start_{};
    bool started_ = false;
};

}  // namespace kob::host
