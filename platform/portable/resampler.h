// A streaming stereo resampler (libsoxr) that produces exactly the frames
// asked for, pulling its input on demand, with its filter state carried from
// one call to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct soxr;

namespace kob::platform {

// Where a resampler's input comes from: fills interleaved stereo frames.
class ResamplerInput {
public:
    virtual void fill(std::span<float> stereoFrames) noexcept = 0;

protected:
    ~ResamplerInput() = default;
};

class StreamResampler {
public:
    // Throws std::runtime_error if the resampler cannot be made.
    StreamResampler(std::uint32_t inputRate, std::uint32_t outputRate, ResamplerInput& input);
    ~StreamResampler();
    StreamResampler(const StreamResampler&) = delete;
    StreamResampler& operator=(const StreamResampler&) = delete;

    std::uint32_t inputRate() const noexcept { return inputRate_; }

    // Writes exactly stereoOut.size() / 2 frames, taking as much input as the
    // filter needs; the input is always read ahead of the output by the
    // filter's latency.
    void produce(std::span<float> stereoOut) noexcept;

    // Input is asked for in pieces of at most this many frames.
    static constexpr std::size_t kMaxInputFrames = 4096;

private:
    static std::size_t pull(void* self, const void** data, std::size_t frames);

    std::uint32_t inputRate_;
    ResamplerInput& input_;
    std::vector<float> inputBlock_;
    soxr* soxr_ = nullptr;
};

}  // namespace kob::platform
