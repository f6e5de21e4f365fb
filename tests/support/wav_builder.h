// Byte-exact RIFF and WAV files for tests: chunks in any order, odd sizes with
// or without their pad byte, size fields that lie, "fmt " chunks of any
// length, and PCM samples of a generated tone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kob::test {

// Fields as a RIFF file stores them: little-endian.
std::string le16(std::uint16_t value);
std::string le32(std::uint32_t value);

// The 16 bytes every "fmt " chunk begins with (wFormatTag to wBitsPerSample).
struct WaveFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 1;
    std::uint32_t samplesPerSec = 22050;
    std::uint32_t avgBytesPerSec = 44100;
    std::uint16_t blockAlign = 2;
    std::uint16_t bitsPerSample = 16;

    // PCM, with block align and byte rate following from the rest.
    static WaveFormat pcm(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample);
    std::string bytes() const;
};

// A "fmt " chunk's body: the 16 bytes alone, or followed by a 16-bit count
// (cbSize) and that many extra bytes.
std::string fmtBody(const WaveFormat& format);
std::string fmtBodyWithExtra(const WaveFormat& format, std::string_view extra);

// `frames` frames of a sine tone in an 8-bit (unsigned) or 16-bit (signed)
// PCM format, every channel alike. Throws std::invalid_argument otherwise.
std::string toneSamples(const WaveFormat& format, std::uint32_t frames, double frequency = 440.0,
                        double amplitude = 0.5);

struct ChunkOptions {
    // The size field when it should differ from the body's size.
    std::optional<std::uint32_t> declaredSize = std::nullopt;
    // A pad byte (0) after a body of odd size, as RIFF requires.
    bool padded = true;
};

// A RIFF file: its id, size field and form type, then chunks and raw bytes in
// the order they are added.
class RiffBuilder {
public:
    explicit RiffBuilder(std::string_view formType = "WAVE");

    // The first four bytes, "RIFF" unless set.
    RiffBuilder& riffId(std::string_view id);
    // The RIFF size field, normally the number of bytes that follow it.
    RiffBuilder& declaredSize(std::uint32_t size);
    // A chunk with a four-byte id (any bytes) and a body.
    RiffBuilder& chunk(std::string_view id, std::string_view body, ChunkOptions options = {});
    RiffBuilder& fmt(const WaveFormat& format) { return chunk("fmt ", fmtBody(format)); }
    RiffBuilder& data(std::string_view samples, ChunkOptions options = {}) {
        return chunk("data", samples, options);
    }
    // Bytes without a chunk header (a truncated chunk, trailing garbage).
    RiffBuilder& raw(std::string_view bytes);

    std::string build() const;
    // File offset of the body of the chunk added as number `index` (from 0).
    std::size_t bodyOffset(std::size_t index) const { return bodyOffsets_.at(index); }
    // File offset just past everything added so far.
    std::size_t endOffset() const { return headerSize + content_.size(); }

    static constexpr std::size_t headerSize = 12;  // id, size, form type

private:
    std::string id_ = "RIFF";
    std::string formType_;
    std::optional<std::uint32_t> declaredSize_;
    std::string content_;
    std::vector<std::size_t> bodyOffsets_;
};

// A plain WAV file: RIFF WAVE, a 16-byte "fmt " chunk, a "data" chunk.
std::string wavFile(const WaveFormat& format, std::string_view samples);

}  // namespace kob::test
