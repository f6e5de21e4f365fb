// kob-bench check's verdict on WAV files: each way the module or DirectSound
// refuses a file gives its reason, and the verdict agrees with what the
// module's reader and the portable DirectSound actually do with the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "kob_platform/control.h"
#include "kob_platform/win32.h"
#include "temp_dir.h"
#include "wav_builder.h"
#include "wave_check.h"

namespace kob::host {
namespace {

using test::RiffBuilder;
using test::WaveFormat;
using Verdict = WaveCheck::Verdict;

WaveFormat format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    WaveFormat f = WaveFormat::pcm(channels, rate, bits);
    f.formatTag = tag;
    return f;
}

struct Case {
    const char* name;
    std::string bytes;
    Verdict verdict;
    const char* reason;  // a part of it
};

std::string samples(std::size_t n) { return std::string(n, '\x10'); }

std::vector<Case> cases() {
    const WaveFormat mono16 = WaveFormat::pcm(1, 22050, 16);
    WaveFormat badAlign = mono16;
    badAlign.blockAlign = 4;
    WaveFormat badRate = mono16;
    badRate.avgBytesPerSec = 1000;
    return {
        {"mono16", test::wavFile(mono16, samples(400)), Verdict::Plays, ""},
        {"stereo8", test::wavFile(WaveFormat::pcm(2, 11025, 8), samples(400)), Verdict::Plays, ""},
        {"fmt_after_data", RiffBuilder().data(samples(64)).fmt(mono16).build(), Verdict::Plays, ""},
        {"text", "just some text, not a RIFF file at all", Verdict::Refused, "not a WAV file"},
        {"short", "RIF", Verdict::Refused, "too short"},
        {"not_wave", RiffBuilder("AVI ").fmt(mono16).data(samples(64)).build(), Verdict::Refused, "not \"WAVE\""},
        {"no_fmt", RiffBuilder().data(samples(64)).build(), Verdict::Refused, "no \"fmt \" chunk"},
        {"fmt_15", RiffBuilder().chunk("fmt ", mono16.bytes().substr(0, 15)).data(samples(64)).build(),
         Verdict::Refused, "fewer than 16"},
        {"float", test::wavFile(format(3, 1, 22050, 32), samples(64)), Verdict::Refused, "not PCM"},
        {"three_channels", test::wavFile(WaveFormat::pcm(3, 22050, 16), samples(60)), Verdict::Refused,
         "3 channels"},
        {"24_bits", test::wavFile(WaveFormat::pcm(1, 22050, 24), samples(60)), Verdict::Refused, "24 bits"},
        {"block_align", test::wavFile(badAlign, samples(64)), Verdict::Refused, "block align 4"},
        {"byte_rate", test::wavFile(badRate, samples(64)), Verdict::Refused, "byte rate 1000"},
        {"rate_low", test::wavFile(WaveFormat::pcm(1, 50, 16), samples(64)), Verdict::Refused, "50 Hz"},
        {"rate_high", test::wavFile(WaveFormat::pcm(1, 384000, 16), samples(64)), Verdict::Refused, "384000 Hz"},
        {"no_data", RiffBuilder().fmt(mono16).build(), Verdict::Refused, "no \"data\" chunk"},
        {"data_2_bytes", test::wavFile(mono16, samples(2)), Verdict::Refused, "at least 4"},
        {"data_past_end", RiffBuilder().fmt(mono16).data(samples(100), {.declaredSize = 1000}).build(),
         Verdict::Refused, "declares 1000 bytes but the file ends after 100"},
        // A RIFF size too small to hold the data chunk: the chunk search goes
        // on past the form's end, as on Windows, so the sound still plays.
        {"data_past_riff", RiffBuilder().declaredSize(4 + 24).fmt(mono16).data(samples(64)).build(),
         Verdict::Plays, ""},
    };
}

// What the module and the portable DirectSound do with the file: it plays if
// the reader opens it, CreateSoundBuffer takes its format and size, and the
// whole data chunk can be read.
bool modulePlays(const std::string& path) {
    WaveFile wave;
    if (FAILED(wave.open(path.c_str()))) return false;
    LPDIRECTSOUND device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr))) return false;
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
    description.dwBufferBytes = wave.dataChunk.cksize;
    description.lpwfxFormat = wave.format;
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    const bool created = SUCCEEDED(device->CreateSoundBuffer(&description, &buffer, nullptr));
    if (buffer) buffer->Release();
    device->Release();
    if (!created) return false;
    std::vector<BYTE> data(wave.dataChunk.cksize);
    DWORD read = 0;
    return SUCCEEDED(wave.read(static_cast<DWORD>(data.size()), data.data(), &read));
}

class WaveCheckTest : public testing::TestWithParam<Case> {
protected:
    void TearDown() override { platform::reset(); }
    test::TempDir dir;
};

TEST_P(WaveCheckTest, GivesTheReasonAndAgreesWithTheModule) {
    const Case& c = GetParam();
    const std::string path = dir.write(std::string(c.name) + ".wav", c.bytes).string();
    const WaveCheck check = checkWave(path);
    EXPECT_EQ(check.verdict, c.verdict) << check.reason;
    EXPECT_NE(check.reason.find(c.reason), std::string::npos) << check.reason;
    EXPECT_EQ(check.verdict == Verdict::Plays, modulePlays(path));
}

INSTANTIATE_TEST_SUITE_P(Corpus, WaveCheckTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST(WaveCheck, AMissingFileIsWhatGetsTheErrorFlagValue) {
    test::TempDir dir;
    EXPECT_EQ(checkWave((dir.path() / "nothing.wav").string()).verdict, Verdict::Missing);
}

TEST(WaveCheck, PathsResolveAsWindowsPathsFromTheWorkingFolder) {
    test::TempDir dir;
    dir.write("Sound/Kob/Engine.wav", test::wavFile(WaveFormat::pcm(1, 22050, 16), samples(64)));
    const test::WorkingDirectory here(dir.path());
    EXPECT_EQ(checkWave(".\\sound\\kob\\engine.WAV").verdict, Verdict::Plays);
    EXPECT_EQ(checkWave("sound/kob/other.wav").verdict, Verdict::Missing);
}

}  // namespace
}  // namespace kob::host
