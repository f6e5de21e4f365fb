// The mixer's inner loops: decode PCM, apply the gain, add into the mix.
#include "voice.h"

#include <algorithm>

namespace kob::platform {
namespace {

template <unsigned Bytes>
float decode(const std::uint8_t* sample) noexcept {
    if constexpr (Bytes == 1) {
        return (static_cast<float>(sample[0]) - 128.0f) * (1.0f / 128.0f);
    } else {
        const auto bits = static_cast<std::uint16_t>(sample[0] | (sample[1] << 8));
        return static_cast<float>(static_cast<std::int16_t>(bits)) * (1.0f / 32768.0f);
    }
}

template <unsigned Bytes, unsigned Channels>
void addFrame(const std::uint8_t* frame, float* out, StereoGain gain) noexcept {
    if constexpr (Channels == 1) {
        const float s = decode<Bytes>(frame);
        out[0] += s * gain.left;
        out[1] += s * gain.right;
    } else {
        out[0] += decode<Bytes>(frame) * gain.left;
        out[1] += decode<Bytes>(frame + Bytes) * gain.right;
    }
}

// Adds out.size() / 2 frames of `source` into `out`.
template <unsigned Bytes, unsigned Channels>
void accumulate(std::span<const std::uint8_t> source, std::span<float> out, GainRamp& gain) noexcept {
    constexpr std::size_t stride = std::size_t{Bytes} * Channels;
    const std::size_t frames = out.size() / 2;
    const std::uint8_t* in = source.data();
    float* mix = out.data();
    std::size_t i = 0;
    for (; i < frames && gain.ramping(); ++i) addFrame<Bytes, Channels>(in + i * stride, mix + 2 * i, gain.next());
    const StereoGain steady = gain.current();
    if (steady.left == 0.0f && steady.right == 0.0f) return;
    for (; i < frames; ++i) addFrame<Bytes, Channels>(in + i * stride, mix + 2 * i, steady);
}

void accumulate(const PcmShape& shape, std::span<const std::uint8_t> source, std::span<float> out,
                GainRamp& gain) noexcept {
    const bool mono = shape.channels == 1;
    if (shape.bytesPerSample == 1)
        mono ? accumulate<1, 1>(source, out, gain) : accumulate<1, 2>(source, out, gain);
    else
        mono ? accumulate<2, 1>(source, out, gain) : accumulate<2, 2>(source, out, gain);
}

}  // namespace

std::size_t mixVoice(Voice& voice, std::span<float> stereoOut) noexcept {
    const std::size_t wanted = stereoOut.size() / 2;
    const std::uint32_t frameBytes = voice.shape.bytesPerFrame();
    std::size_t produced = 0;
    while (produced < wanted && voice.playing) {
        const auto chunk = static_cast<std::uint32_t>(
            std::min<std::size_t>(wanted - produced, voice.frames - voice.frame));
        if (voice.data.empty())
            voice.gain.skip(chunk);
        else
            accumulate(voice.shape, voice.data.subspan(std::size_t{voice.frame} * frameBytes, std::size_t{chunk} * frameBytes),
                       stereoOut.subspan(produced * 2, std::size_t{chunk} * 2), voice.gain);
        voice.frame += chunk;
        produced += chunk;
        if (voice.frame == voice.frames) {
            voice.frame = 0;
            if (!voice.looping) voice.playing = false;
        }
    }
    return produced;
}

}  // namespace kob::platform
