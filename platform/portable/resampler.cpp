// libsoxr, streaming, float stereo in and out.
//
// Quality: SOXR_HQ (20-bit precision, linear phase, passband to 91% of the
// lower Nyquist frequency) is far beyond what 8- and 16-bit sources carry.
// Smaller DFT blocks than libsoxr's defaults halve the read-ahead (the time a
// voice is read before it is heard, some 5 to 35 ms from 8000 Hz up), at a
// cost that stays small with one resampler per distinct rate.
#include "resampler.h"

#include <soxr.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace kob::platform {
namespace {

constexpr unsigned kLog2MinDftSize = 8;
constexpr unsigned kLog2LargeDftSize = 10;

}  // namespace

StreamResampler::StreamResampler(std::uint32_t inputRate, std::uint32_t outputRate, ResamplerInput& input)
    : inputRate_(inputRate), input_(input), inputBlock_(kMaxInputFrames * 2) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    runtime.log2_min_dft_size = kLog2MinDftSize;
    runtime.log2_large_dft_size = kLog2LargeDftSize;
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(inputRate, outputRate, 2, &error, &io, &quality, &runtime);
    if (!error && soxr_) error = soxr_set_input_fn(soxr_, &StreamResampler::pull, this, kMaxInputFrames);
    if (error || !soxr_) {
        soxr_delete(soxr_);
        throw std::runtime_error("cannot resample " + std::to_string(inputRate) + " Hz to " +
                                 std::to_string(outputRate) + " Hz: " + soxr_strerror(error));
    }
}

StreamResampler::~StreamResampler() { soxr_delete(soxr_); }

std::size_t StreamResampler::pull(void* self, const void** data, std::size_t frames) {
    auto& resampler = *static_cast<StreamResampler*>(self);
    frames = std::min(frames, kMaxInputFrames);
    const std::span<float> block(resampler.inputBlock_.data(), frames * 2);
    resampler.input_.fill(block);
    *data = block.data();
    return frames;
}

void StreamResampler::produce(std::span<float> stereoOut) noexcept {
    const std::size_t wanted = stereoOut.size() / 2;
    const std::size_t made = soxr_output(soxr_, stereoOut.data(), wanted);
    // The input never ends, so a short count means libsoxr failed: stay silent.
    std::fill(stereoOut.begin() + static_cast<std::ptrdiff_t>(made * 2), stereoOut.end(), 0.0f);
}

}  // namespace kob::platform
