#include "wave_corpus.h"

#include <cstdint>

#include "wav_builder.h"

namespace kob::test::wine {
namespace {

// Bytes that differ from position to position, so a hash notices any shift.
std::string pattern(std::size_t count, unsigned seed) {
    std::string out(count, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& c : out) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return out;
}

WaveFormat format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    WaveFormat f = WaveFormat::pcm(channels, rate, bits);
    f.formatTag = tag;
    return f;
}

// A "fmt " chunk of exactly these bytes, whatever they say.
std::string fmtOf(const WaveFormat& f, std::size_t length) { return (f.bytes() + std::string(64, '\0')).substr(0, length); }

}  // namespace

std::vector<WaveCorpusFile> waveCorpus() {
    const WaveFormat mono8 = WaveFormat::pcm(1, 11025, 8);
    const WaveFormat mono16 = WaveFormat::pcm(1, 22050, 16);
    const WaveFormat stereo16 = WaveFormat::pcm(2, 44100, 16);
    const WaveFormat mono24 = WaveFormat::pcm(1, 48000, 24);
    const WaveFormat stereo24 = WaveFormat::pcm(2, 48000, 24);
    const WaveFormat float32 = format(3, 2, 44100, 32);
    WaveFormat adpcm = format(2, 1, 22050, 4);
    adpcm.blockAlign = 256;
    adpcm.avgBytesPerSec = 11155;
    WaveFormat extensible = format(0xFFFE, 2, 48000, 24);

    const std::string tone8 = toneSamples(mono8, 1001);
    const std::string tone16 = toneSamples(mono16, 3000);
    const std::string toneStereo = toneSamples(stereo16, 17500);  // 70000 bytes: several read buffers
    const std::string info = "INFO" + std::string("INAM") + le32(5) + "name" + '\0';

    std::vector<WaveCorpusFile> files = {
        {"pcm8_mono_odd.wav", RiffBuilder().fmt(mono8).data(tone8).build()},
        {"pcm16_mono.wav", wavFile(mono16, tone16)},
        {"pcm16_stereo_long.wav", wavFile(stereo16, toneStereo)},
        {"pcm24_mono_odd.wav", RiffBuilder().fmt(mono24).data(pattern(333 * 3, 1)).build()},
        {"pcm24_stereo.wav", RiffBuilder().fmt(stereo24).data(pattern(6 * 2000, 2)).build()},
        {"pcm16_odd_unpadded_last.wav",
         RiffBuilder().fmt(mono16).data(pattern(1001, 3), {.padded = false}).build()},
        {"chunks_around_fmt.wav", RiffBuilder()
                                      .chunk("LIST", info)
                                      .chunk("junk", pattern(33, 4))
                                      .fmt(mono16)
                                      .chunk("fact", le32(3000))
                                      .chunk("LIST", info)
                                      .data(tone16)
                                      .chunk("LIST", info)
                                      .build()},
        {"unpadded_odd_chunk_before_fmt.wav",
         RiffBuilder().chunk("junk", pattern(33, 5), {.padded = false}).fmt(mono16).data(tone16).build()},
        {"data_before_fmt.wav", RiffBuilder().data(tone16).fmt(mono16).build()},
        {"two_data_chunks.wav", RiffBuilder().fmt(mono16).data(pattern(100, 6)).data(pattern(200, 7)).build()},
        {"empty_data.wav", RiffBuilder().fmt(mono16).data("").build()},
        {"pcm_fmt18.wav", RiffBuilder().chunk("fmt ", fmtBodyWithExtra(mono16, "")).data(tone16).build()},
        {"pcm_fmt20_extra.wav", RiffBuilder().chunk("fmt ", fmtBodyWithExtra(mono16, "XY")).data(tone16).build()},
        {"pcm_fmt17_odd.wav", RiffBuilder().chunk("fmt ", fmtOf(mono16, 17)).data(tone16).build()},
        {"float32_fact.wav", RiffBuilder()
                                 .chunk("fmt ", fmtBodyWithExtra(float32, ""))
                                 .chunk("fact", le32(500))
                                 .data(pattern(4000, 8))
                                 .build()},
        {"float32_fmt16.wav", RiffBuilder().fmt(float32).data(pattern(4000, 9)).build()},
        {"adpcm.wav", RiffBuilder()
                          .chunk("fmt ", fmtBodyWithExtra(adpcm, le16(500) + le16(7) + pattern(28, 10)))
                          .chunk("fact", le32(4000))
                          .data(pattern(2048, 11))
                          .build()},
        {"extensible.wav",
         RiffBuilder()
             .chunk("fmt ", fmtBodyWithExtra(extensible, le16(24) + le32(3) + pattern(16, 12)))
             .data(pattern(6 * 500, 13))
             .build()},
        {"extra_count_past_chunk.wav",
         RiffBuilder().chunk("fmt ", fmtBodyWithExtra(adpcm, "")).chunk("fact", le32(1)).data(pattern(512, 14)).build()},
        {"extra_count_past_file.wav", RiffBuilder().chunk("fmt ", fmtBodyWithExtra(adpcm, "")).build().substr(0, 36) +
                                          le16(60000)},
        {"truncated_data.wav", RiffBuilder().fmt(mono16).data(tone16, {.declaredSize = 20000}).build()},
        {"truncated_header.wav", wavFile(mono16, tone16).substr(0, 30)},
        {"no_data.wav", RiffBuilder().fmt(mono16).build()},
        {"no_fmt.wav", RiffBuilder().data(tone16).build()},
        {"riff_size_too_small.wav", RiffBuilder().declaredSize(30).fmt(mono16).data(tone16).build()},
        {"riff_size_cuts_fmt.wav", RiffBuilder().declaredSize(20).fmt(mono16).data(tone16).build()},
        {"riff_size_too_large.wav", RiffBuilder().declaredSize(0xFFFFFFF0u).fmt(mono16).data(tone16).build()},
        {"riff_size_odd.wav", RiffBuilder().declaredSize(4 + 24 + 8 + 1001).fmt(mono16).data(pattern(1001, 15)).build()},
        {"chunk_size_past_end.wav",
         RiffBuilder().fmt(mono16).chunk("junk", "abc", {.declaredSize = 1000000}).data(tone16).build()},
        {"rifx.wav", RiffBuilder().riffId("RIFX").fmt(mono16).data(tone16).build()},
        {"avi_form.wav", RiffBuilder("AVI ").fmt(mono16).data(tone16).build()},
        {"list_form.wav", RiffBuilder().riffId("LIST").fmt(mono16).data(tone16).build()},
        {"text.wav", "this is not a sound file\n"},
        {"fmt15.wav", RiffBuilder().chunk("fmt ", fmtOf(mono16, 15)).data(tone16).build()},
        {"fmt15_padded_to_16.wav",
         RiffBuilder().chunk("fmt ", fmtOf(mono16, 15), {.padded = true}).data(tone16).build()},
        {"empty.wav", ""},
        {"riff_only.wav", "RIFF" + le32(4) + "WAVE"},
        {"riff_short.wav", "RIFF" + le32(4)},
    };
    return files;
}

}  // namespace kob::test::wine
