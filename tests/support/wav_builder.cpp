#include "wav_builder.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace kob::test {
namespace {

std::string fourCc(std::string_view id) {
    if (id.size() != 4) throw std::invalid_argument("a chunk id has four bytes, not \"" + std::string(id) + "\"");
    return std::string(id);
}

}  // namespace

std::string le16(std::uint16_t value) {
    return {static_cast<char>(value & 0xFFu), static_cast<char>(value >> 8)};
}

std::string le32(std::uint32_t value) {
    return le16(static_cast<std::uint16_t>(value & 0xFFFFu)) + le16(static_cast<std::uint16_t>(value >> 16));
}

WaveFormat WaveFormat::pcm(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample) {
    const auto blockAlign = static_cast<std::uint16_t>(channels * ((bitsPerSample + 7) / 8));
    return WaveFormat{1, channels, samplesPerSec, samplesPerSec * blockAlign, blockAlign, bitsPerSample};
}

std::string WaveFormat::bytes() const {
    return le16(formatTag) + le16(channels) + le32(samplesPerSec) + le32(avgBytesPerSec) + le16(blockAlign) +
           le16(bitsPerSample);
}

std::string fmtBody(const WaveFormat& format) { return format.bytes(); }

std::string fmtBodyWithExtra(const WaveFormat& format, std::string_view extra) {
    if (extra.size() > 0xFFFF) throw std::invalid_argument("cbSize holds at most 65535 extra bytes");
    return format.bytes() + le16(static_cast<std::uint16_t>(extra.size())) + std::string(extra);
}

std::string toneSamples(const WaveFormat& format, std::uint32_t frames, double frequency, double amplitude) {
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        throw std::invalid_argument("tones come in 8-bit or 16-bit PCM only");
    std::string samples;
    samples.reserve(static_cast<std::size_t>(frames) * format.channels * (format.bitsPerSample / 8));
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        const double phase = 2.0 * std::numbers::pi * frequency * frame / format.samplesPerSec;
        const double value = amplitude * std::sin(phase);
        for (std::uint16_t channel = 0; channel < format.channels; ++channel) {
            if (format.bitsPerSample == 8)
                samples += static_cast<char>(static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * value)));
            else
                samples += le16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(32767.0 * value))));
        }
    }
    return samples;
}

RiffBuilder::RiffBuilder(std::string_view formType) : formType_(fourCc(formType)) {}

RiffBuilder& RiffBuilder::riffId(std::string_view id) {
    id_ = fourCc(id);
    return *this;
}

RiffBuilder& RiffBuilder::declaredSize(std::uint32_t size) {
    declaredSize_ = size;
    return *this;
}

RiffBuilder& RiffBuilder::chunk(std::string_view id, std::string_view body, ChunkOptions options) {
    content_ += fourCc(id);
    content_ += le32(options.declaredSize.value_or(static_cast<std::uint32_t>(body.size())));
    bodyOffsets_.push_back(endOffset());
    content_ += body;
    if (options.padded && body.size() % 2 == 1) content_ += '\0';
    return *this;
}

RiffBuilder& RiffBuilder::raw(std::string_view bytes) {
    content_ += bytes;
    return *this;
}

std::string RiffBuilder::build() const {
    const auto size = declaredSize_.value_or(static_cast<std::uint32_t>(formType_.size() + content_.size()));
    return id_ + le32(size) + formType_ + content_;
}

std::string wavFile(const WaveFormat& format, std::string_view samples) {
    return RiffBuilder().fmt(format).data(samples).build();
}

}  // namespace kob::test
