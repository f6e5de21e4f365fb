// The module's wave file reader on generated files: the header and format
// checks, the format record, the data chunk's bytes, rewinds, and failures of
// the mmio calls underneath.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kob_platform/mmio_control.h"
#include "kob_platform/win32.h"
#include "module_fixture.h"
#include "wav_builder.h"

namespace kob::test {
namespace {

using namespace std::string_view_literals;
using platform::MmioCall;

constexpr char untouched = '\x5A';

WAVEFORMATEX* const noFormatYet = reinterpret_cast<WAVEFORMATEX*>(alignof(WAVEFORMATEX) * 16);
const HMMIO noHandleYet = reinterpret_cast<HMMIO>(alignof(std::max_align_t) * 16);

std::string recordBytes(const WAVEFORMATEX* format) {
    return std::string(reinterpret_cast<const char*>(format), sizeof(WAVEFORMATEX) + format->cbSize);
}

class WaveFileTest : public ModuleFixture {
protected:
    // A WaveFile made and destroyed by the module.
    struct WaveDeleter {
        const ModuleTestAccess* access;
        void operator()(WaveFile* wave) const { access->destroyWaveFile(wave); }
    };
    using Wave = std::unique_ptr<WaveFile, WaveDeleter>;

    Wave createWave() {
        Wave wave(access().createWaveFile(), WaveDeleter{&access()});
        EXPECT_NE(wave.get(), nullptr);
        return wave;
    }

    std::string write(const std::string& bytes, const std::string& name = "sound.wav") {
        return dir.write(name, bytes).string();
    }

    // A WaveFile opened on the bytes; the result of open is checked by the caller.
    Wave openWave(const std::string& bytes, HRESULT* result) {
        Wave wave = createWave();
        *result = access().openWave(wave.get(), write(bytes).c_str());
        return wave;
    }

    DWORD remaining(WaveFile* wave) const { return access().waveDataChunk(wave)->cksize; }

    // Reads `count` bytes into a buffer of `count` bytes first filled with `untouched`.
    struct ReadOutcome {
        HRESULT result;
        DWORD countRead;
        std::string destination;
    };
    ReadOutcome read(WaveFile* wave, DWORD count) const {
        ReadOutcome outcome{E_FAIL, 0xDEADu, std::string(count, untouched)};
        outcome.result = access().readWave(wave, count, reinterpret_cast<BYTE*>(outcome.destination.data()),
                                           &outcome.countRead);
        return outcome;
    }

    // Bytes handed out by the read buffer before the next refill.
    static std::size_t bufferedBytes(HMMIO handle) {
        MMIOINFO info{};
        EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
        return static_cast<std::size_t>(info.pchEndRead - info.pchNext);
    }
    static std::size_t bufferCapacity(HMMIO handle) {
        MMIOINFO info{};
        EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
        return static_cast<std::size_t>(info.cchBuffer);
    }
};

// --- the format --------------------------------------------------------------

struct FormatCase {
    const char* name;
    std::string file;
    bool accepted;
    std::string record;            // the whole record, when accepted
    LONG positionAfter = 0;        // just past the "fmt " chunk, when accepted
};

const WaveFormat pcm = WaveFormat::pcm(2, 22050, 16);
const WaveFormat adpcm{2, 1, 22050, 11155, 512, 4};
const std::string pcmRecord = pcm.bytes() + le16(0);

std::string extras(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) bytes += static_cast<char>(0xA0 + i);
    return bytes;
}

std::vector<FormatCase> formatCases() {
    std::vector<FormatCase> cases;
    const std::string samples = toneSamples(pcm, 10);
    const auto pcmIn = [&](const std::string& body) {
        return RiffBuilder().chunk("fmt ", body).data(samples).build();
    };

    cases.push_back({"PCM, 16-byte fmt", pcmIn(fmtBody(pcm)), true, pcmRecord, 36});
    cases.push_back({"PCM, 18-byte fmt with its cbSize", pcmIn(fmtBodyWithExtra(pcm, "")), true, pcmRecord, 38});
    cases.push_back({"PCM, cbSize and extras in the file are skipped", pcmIn(fmtBodyWithExtra(pcm, "abcdef")), true,
                     pcmRecord, 44});
    cases.push_back({"PCM, odd-sized fmt and its pad byte", pcmIn(pcm.bytes() + "x"), true, pcmRecord, 38});
    cases.push_back({"non-PCM with extra bytes", pcmIn(fmtBodyWithExtra(adpcm, extras(32))), true,
                     fmtBodyWithExtra(adpcm, extras(32)), 12 + 8 + 50});
    cases.push_back({"non-PCM with a stored count of 0", pcmIn(fmtBodyWithExtra(adpcm, "")), true,
                     adpcm.bytes() + le16(0), 38});
    {
        // Count and extras come from the next chunk's header; the ascent returns to the fmt chunk's end.
        const std::string file =
            RiffBuilder().chunk("fmt ", adpcm.bytes()).chunk("\x04\x00zz"sv, "12345678").data(samples).build();
        cases.push_back({"non-PCM, 16-byte fmt", file, true, adpcm.bytes() + file.substr(36, 6), 36});
    }
    {
        // The count exceeds the chunk; the extras are read on regardless.
        const std::string file = pcmIn(adpcm.bytes() + le16(10) + "ab");
        cases.push_back({"non-PCM, count larger than the chunk", file, true, adpcm.bytes() + file.substr(36, 12),
                         40});
    }
    {
        RiffBuilder file;
        file.chunk("JUNK", "odd").chunk("LIST", "INFOISFT" + le32(1) + "x" + '\0').chunk("fmt ", fmtBody(pcm));
        file.data(samples);
        cases.push_back({"fmt after other chunks, one of odd size", file.build(), true, pcmRecord,
                         static_cast<LONG>(file.bodyOffset(2) + 16)});
    }
    {
        RiffBuilder file;
        file.data(toneSamples(WaveFormat::pcm(1, 8000, 8), 5)).chunk("fmt ", fmtBody(pcm));
        cases.push_back({"fmt after an odd-sized data chunk", file.build(), true, pcmRecord,
                         static_cast<LONG>(file.endOffset())});
    }

    cases.push_back({"15-byte fmt", pcmIn(pcm.bytes().substr(0, 15)), false, ""});
    cases.push_back({"empty fmt", pcmIn(""), false, ""});
    cases.push_back({"no fmt", RiffBuilder().data(samples).build(), false, ""});
    {
        // A RIFF size that is too small hides nothing: the search runs to the end of the file.
        RiffBuilder file = RiffBuilder().declaredSize(4 + 8 + 4).chunk("JUNK", "abcd").fmt(pcm);
        const auto fmtEnd = static_cast<LONG>(file.endOffset());
        cases.push_back({"fmt outside the RIFF's declared size", file.data(samples).build(), true, pcmRecord, fmtEnd});
    }
    cases.push_back({"RIFF form not WAVE", RiffBuilder("AVI ").fmt(pcm).data(samples).build(), false, ""});
    cases.push_back({"RIFX instead of RIFF", RiffBuilder().riffId("RIFX").fmt(pcm).data(samples).build(), false,
                     ""});
    cases.push_back({"a plain chunk first", "JUNK" + le32(4) + "abcd" + wavFile(pcm, samples), false, ""});
    cases.push_back({"empty file", "", false, ""});
    cases.push_back({"header cut short", std::string("RIFF") + le32(100) + "WA", false, ""});
    cases.push_back({"format bytes cut short",
                     RiffBuilder().chunk("fmt ", pcm.bytes().substr(0, 10), {.declaredSize = 16}).build(), false,
                     ""});
    cases.push_back({"non-PCM count missing at the end of the file", RiffBuilder().chunk("fmt ", adpcm.bytes()).build(),
                     false, ""});
    cases.push_back({"non-PCM extras cut short",
                     RiffBuilder().chunk("fmt ", adpcm.bytes() + le16(100) + extras(10), {.declaredSize = 118}).build(),
                     false, ""});
    return cases;
}

TEST_F(WaveFileTest, ReadWaveFormatChecksTheHeaderAndCopiesTheFormat) {
    for (const auto& c : formatCases()) {
        SCOPED_TRACE(c.name);
        std::string path = write(c.file);
        HMMIO handle = mmioOpenA(path.data(), nullptr, MMIO_ALLOCBUF | MMIO_READ);
        ASSERT_NE(handle, nullptr);
        MMCKINFO riff{};
        WAVEFORMATEX* format = noFormatYet;
        const HRESULT result = access().readWaveFormat(handle, &riff, &format);
        if (c.accepted) {
            ASSERT_EQ(result, S_OK);
            ASSERT_NE(format, nullptr);
            EXPECT_EQ(recordBytes(format), c.record);
            EXPECT_EQ(mmioSeek(handle, 0, SEEK_CUR), c.positionAfter);
            EXPECT_EQ(riff.ckid, riffChunkId);
            EXPECT_EQ(riff.fccType, waveFormType);
            EXPECT_EQ(riff.dwDataOffset, 8u);
            std::free(format);
        } else {
            EXPECT_EQ(result, E_FAIL);
            EXPECT_EQ(format, nullptr);
        }
        mmioClose(handle, 0);
    }
}

TEST_F(WaveFileTest, OpenWaveFileLeavesNothingOpenWhenItFails) {
    for (const auto& c : formatCases()) {
        SCOPED_TRACE(c.name);
        HMMIO handle = noHandleYet;
        WAVEFORMATEX* format = noFormatYet;
        MMCKINFO riff{};
        const HRESULT result = access().openWaveFile(write(c.file).c_str(), &handle, &format, &riff);
        if (c.accepted) {
            ASSERT_EQ(result, S_OK);
            EXPECT_NE(handle, noHandleYet);
            EXPECT_EQ(platform::openMmioFileCount(), 1u);
            ASSERT_NE(format, nullptr);
            EXPECT_EQ(recordBytes(format), c.record);
            mmioClose(handle, 0);
            std::free(format);
        } else {
            EXPECT_EQ(result, E_FAIL);
            EXPECT_EQ(handle, noHandleYet);
            EXPECT_EQ(format, nullptr);
            EXPECT_EQ(platform::openMmioFileCount(), 0u);
        }
    }
}

TEST_F(WaveFileTest, OpenWaveFileOnAMissingFileTouchesNothing) {
    HMMIO handle = noHandleYet;
    WAVEFORMATEX* format = noFormatYet;
    MMCKINFO riff{};
    const std::string path = (dir.path() / "missing.wav").string();
    EXPECT_EQ(access().openWaveFile(path.c_str(), &handle, &format, &riff), E_FAIL);
    EXPECT_EQ(handle, noHandleYet);
    EXPECT_EQ(format, noFormatYet);
    EXPECT_EQ(platform::openMmioFileCount(), 0u);
}

TEST_F(WaveFileTest, FailedAscentOutOfFmtFailsTheOpen) {
    platform::failMmioCall(MmioCall::ascend);
    HMMIO handle = noHandleYet;
    WAVEFORMATEX* format = noFormatYet;
    MMCKINFO riff{};
    const std::string path = write(wavFile(pcm, toneSamples(pcm, 10)));
    EXPECT_EQ(access().openWaveFile(path.c_str(), &handle, &format, &riff), E_FAIL);
    EXPECT_EQ(handle, noHandleYet);
    EXPECT_EQ(format, nullptr);
    EXPECT_EQ(platform::openMmioFileCount(), 0u);
}

// --- opening a WaveFile --------------------------------------------------------

TEST_F(WaveFileTest, OpenLeavesTheFileReadyAtItsData) {
    const std::string samples = toneSamples(pcm, 1000);
    RiffBuilder file;
    file.chunk("JUNK", "abc").fmt(pcm).chunk("LIST", "INFO").data(samples).chunk("cue ", "xyz");
    HRESULT result = E_FAIL;
    Wave wave = openWave(file.build(), &result);
    ASSERT_EQ(result, S_OK);
    EXPECT_NE(access().waveHandle(wave.get()), nullptr);
    ASSERT_NE(access().waveFormat(wave.get()), nullptr);
    EXPECT_EQ(recordBytes(access().waveFormat(wave.get())), pcmRecord);
    const MMCKINFO& data = *access().waveDataChunk(wave.get());
    EXPECT_EQ(data.ckid, dataChunkId);
    EXPECT_EQ(data.cksize, samples.size());
    EXPECT_EQ(data.dwDataOffset, file.bodyOffset(3));
    EXPECT_EQ(mmioSeek(access().waveHandle(wave.get()), 0, SEEK_CUR), static_cast<LONG>(file.bodyOffset(3)));
    EXPECT_EQ(access().waveRiffChunk(wave.get())->dwDataOffset, 8u);
    EXPECT_EQ(platform::openMmioFileCount(), 1u);
    wave.reset();
    EXPECT_EQ(platform::openMmioFileCount(), 0u);
}

TEST_F(WaveFileTest, NewWaveFileIsEmpty) {
    Wave wave = createWave();
    EXPECT_EQ(access().waveHandle(wave.get()), nullptr);
    EXPECT_EQ(access().waveFormat(wave.get()), nullptr);
}

TEST_F(WaveFileTest, OpenFailingBeforeOrAfterTheFormatLeavesTheStatesListed) {
    const std::string samples = toneSamples(pcm, 10);
    struct Case {
        const char* name;
        std::optional<std::string> file;  // none: the file is missing
        bool staysOpen;
    };
    const std::vector<Case> cases = {
        {"missing file", std::nullopt, false},
        {"not a WAV file", std::string("plain text, no RIFF"), false},
        {"no data chunk", RiffBuilder().fmt(pcm).chunk("LIST", "INFO").build(), true},
        {"data header cut short", RiffBuilder().fmt(pcm).raw("da").build(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Another open file shows that destroying this one closes only its own.
        Wave other = createWave();
        ASSERT_EQ(access().openWave(other.get(), write(wavFile(pcm, samples), "other.wav").c_str()), S_OK);

        Wave wave = createWave();
        const std::string path = c.file ? write(*c.file) : (dir.path() / "missing.wav").string();
        EXPECT_EQ(access().openWave(wave.get(), path.c_str()), E_FAIL);
        if (c.staysOpen) {
            EXPECT_NE(access().waveHandle(wave.get()), nullptr);
            ASSERT_NE(access().waveFormat(wave.get()), nullptr);
            EXPECT_EQ(recordBytes(access().waveFormat(wave.get())), pcmRecord);
            EXPECT_EQ(platform::openMmioFileCount(), 2u);
            EXPECT_EQ(access().seekWaveToData(wave.get()), E_FAIL) << "a later rewind fails the same way";
        } else {
            EXPECT_EQ(access().waveHandle(wave.get()), nullptr);
            EXPECT_EQ(access().waveFormat(wave.get()), nullptr);
            EXPECT_EQ(platform::openMmioFileCount(), 1u);
        }
        wave.reset();
        EXPECT_EQ(platform::openMmioFileCount(), 1u);
        other.reset();
        EXPECT_EQ(platform::openMmioFileCount(), 0u);
    }
}

TEST_F(WaveFileTest, FailedSeekFailsTheRewindAndKeepsTheFileOpen) {
    const std::string samples = toneSamples(pcm, 100);
    HRESULT result = E_FAIL;
    Wave wave = openWave(wavFile(pcm, samples), &result);
    ASSERT_EQ(result, S_OK);
    read(wave.get(), 50);
    platform::failMmioCall(MmioCall::seek);
    EXPECT_EQ(access().seekWaveToData(wave.get()), E_FAIL);
    EXPECT_EQ(platform::openMmioFileCount(), 1u);
    ASSERT_EQ(access().seekWaveToData(wave.get()), S_OK);
    EXPECT_EQ(read(wave.get(), static_cast<DWORD>(samples.size())).destination, samples);
}

// --- reading the data ----------------------------------------------------------

struct DataLayout {
    const char* name;
    WaveFormat format;
    std::uint32_t frames;
    std::string (*build)(const WaveFormat& format, const std::string& samples);
};

const std::vector<DataLayout> dataLayouts = {
    {"plain 16-bit stereo", WaveFormat::pcm(2, 22050, 16), 7000,
     [](const WaveFormat& f, const std::string& s) { return wavFile(f, s); }},
    {"odd-sized 8-bit data between other chunks", WaveFormat::pcm(1, 8000, 8), 20001,
     [](const WaveFormat& f, const std::string& s) {
         return RiffBuilder().chunk("JUNK", "odd").fmt(f).data(s).chunk("LIST", "INFO").build();
     }},
    {"data before fmt", WaveFormat::pcm(1, 11025, 16), 5000,
     [](const WaveFormat& f, const std::string& s) { return RiffBuilder().data(s).fmt(f).build(); }},
    {"tiny data", WaveFormat::pcm(1, 8000, 8), 3,
     [](const WaveFormat& f, const std::string& s) { return wavFile(f, s); }},
};

TEST_F(WaveFileTest, ReadsDeliverTheDataChunkInPiecesOfAnySize) {
    for (const auto& layout : dataLayouts) {
        const std::string samples = toneSamples(layout.format, layout.frames);
        const auto size = static_cast<DWORD>(samples.size());
        for (DWORD piece : {DWORD{1}, DWORD{7}, DWORD{8191}, DWORD{8192}, DWORD{8193}, size, size + 1}) {
            SCOPED_TRACE(std::string(layout.name) + ", pieces of " + std::to_string(piece));
            HRESULT result = E_FAIL;
            Wave wave = openWave(layout.build(layout.format, samples), &result);
            ASSERT_EQ(result, S_OK);
            ASSERT_EQ(remaining(wave.get()), size);
            std::string delivered;
            while (delivered.size() < samples.size()) {
                const ReadOutcome outcome = read(wave.get(), piece);
                ASSERT_EQ(outcome.result, S_OK);
                const DWORD expected = std::min<DWORD>(piece, size - static_cast<DWORD>(delivered.size()));
                ASSERT_EQ(outcome.countRead, expected);
                delivered += outcome.destination.substr(0, outcome.countRead);
                EXPECT_EQ(outcome.destination.substr(outcome.countRead), std::string(piece - expected, untouched));
                EXPECT_EQ(remaining(wave.get()), size - delivered.size());
            }
            EXPECT_EQ(delivered, samples);
            const ReadOutcome after = read(wave.get(), 10);
            EXPECT_EQ(after.result, S_OK);
            EXPECT_EQ(after.countRead, 0u);
            EXPECT_EQ(after.destination, std::string(10, untouched));
        }
    }
}

TEST_F(WaveFileTest, ReadOfMoreThanRemainsDeliversTheRest) {
    const std::string samples = toneSamples(pcm, 1000);  // 4000 bytes
    HRESULT result = E_FAIL;
    Wave wave = openWave(wavFile(pcm, samples), &result);
    ASSERT_EQ(result, S_OK);
    ASSERT_EQ(read(wave.get(), 2500).countRead, 2500u);
    const ReadOutcome rest = read(wave.get(), 100000);
    EXPECT_EQ(rest.result, S_OK);
    EXPECT_EQ(rest.countRead, 1500u);
    EXPECT_EQ(rest.destination.substr(0, 1500), samples.substr(2500));
    EXPECT_EQ(rest.destination.find_first_not_of(untouched, 1500), std::string::npos);
    EXPECT_EQ(remaining(wave.get()), 0u);
}

TEST_F(WaveFileTest, ReadOfNothingSucceedsAndChangesNothing) {
    const std::string samples = toneSamples(pcm, 100);
    HRESULT result = E_FAIL;
    Wave wave = openWave(wavFile(pcm, samples), &result);
    ASSERT_EQ(result, S_OK);
    read(wave.get(), 10);
    const ReadOutcome none = read(wave.get(), 0);
    EXPECT_EQ(none.result, S_OK);
    EXPECT_EQ(none.countRead, 0u);
    EXPECT_EQ(remaining(wave.get()), samples.size() - 10);
    EXPECT_EQ(read(wave.get(), 10).destination, samples.substr(10, 10));
}

TEST_F(WaveFileTest, ReadIsBoundedByTheRecordNotTheFile) {
    const std::string samples = toneSamples(pcm, 100);
    HMMIO handle = nullptr;
    WAVEFORMATEX* format = nullptr;
    MMCKINFO riff{};
    ASSERT_EQ(access().openWaveFile(write(wavFile(pcm, samples)).c_str(), &handle, &format, &riff), S_OK);
    MMCKINFO data{};
    data.ckid = dataChunkId;
    ASSERT_EQ(mmioDescend(handle, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    data.cksize = 30;
    std::string destination(100, untouched);
    DWORD countRead = 0;
    EXPECT_EQ(access().readWaveData(handle, 100, reinterpret_cast<BYTE*>(destination.data()), &data, &countRead),
              S_OK);
    EXPECT_EQ(countRead, 30u);
    EXPECT_EQ(data.cksize, 0u);
    EXPECT_EQ(destination, samples.substr(0, 30) + std::string(70, untouched));
    mmioClose(handle, 0);
    std::free(format);
}

TEST_F(WaveFileTest, RewindStartsAgainAtTheFirstDataByte) {
    const std::string samples = toneSamples(WaveFormat::pcm(1, 8000, 8), 12345);
    const auto size = static_cast<DWORD>(samples.size());
    for (DWORD readBefore : {DWORD{0}, DWORD{1}, DWORD{8192}, size - 1, size, size + 50}) {
        SCOPED_TRACE("read before: " + std::to_string(readBefore));
        HRESULT result = E_FAIL;
        Wave wave = openWave(RiffBuilder().fmt(WaveFormat::pcm(1, 8000, 8)).data(samples).chunk("JUNK", "x").build(),
                             &result);
        ASSERT_EQ(result, S_OK);
        read(wave.get(), readBefore);
        ASSERT_EQ(access().seekWaveToData(wave.get()), S_OK);
        EXPECT_EQ(remaining(wave.get()), size);
        const ReadOutcome whole = read(wave.get(), size);
        EXPECT_EQ(whole.result, S_OK);
        EXPECT_EQ(whole.destination, samples);
    }
}

TEST_F(WaveFileTest, DataRunningPastTheEndOfTheFile) {
    const WaveFormat mono8 = WaveFormat::pcm(1, 8000, 8);
    const std::string present = toneSamples(mono8, 600);
    const std::string file = RiffBuilder().fmt(mono8).data(present, {.declaredSize = 1000}).build();
    struct Case {
        DWORD request;
        DWORD remainingAfter;
    };
    for (const Case c : {Case{1000, 0}, Case{5000, 0}, Case{800, 200}, Case{601, 399}}) {
        SCOPED_TRACE("request " + std::to_string(c.request));
        HRESULT result = E_FAIL;
        Wave wave = openWave(file, &result);
        ASSERT_EQ(result, S_OK);
        ASSERT_EQ(remaining(wave.get()), 1000u);

        const ReadOutcome failed = read(wave.get(), c.request);
        EXPECT_EQ(failed.result, E_FAIL);
        EXPECT_EQ(failed.countRead, 0u);
        EXPECT_EQ(failed.destination.substr(0, 600), present) << "the bytes before the end are copied";
        EXPECT_EQ(failed.destination.find_first_not_of(untouched, 600), std::string::npos);
        EXPECT_EQ(remaining(wave.get()), c.remainingAfter);

        const ReadOutcome next = read(wave.get(), 10);
        if (c.remainingAfter == 0) {
            EXPECT_EQ(next.result, S_OK);
            EXPECT_EQ(next.countRead, 0u);
        } else {
            EXPECT_EQ(next.result, E_FAIL);
        }

        ASSERT_EQ(access().seekWaveToData(wave.get()), S_OK);
        const ReadOutcome again = read(wave.get(), 600);
        EXPECT_EQ(again.result, S_OK);
        EXPECT_EQ(again.destination, present);
    }
}

// --- mmio failures during a read ----------------------------------------------

TEST_F(WaveFileTest, ReadFailuresOfTheBufferCalls) {
    // 2.4 MB: several refills even of the largest read buffer (1 MiB).
    const std::string samples = toneSamples(pcm, 600000);
    const auto size = static_cast<DWORD>(samples.size());
    struct Case {
        const char* name;
        MmioCall call;
        int successesFirst;
        // Bytes copied before the failure, from what the buffer held at the start and its capacity.
        std::size_t (*copied)(std::size_t buffered, std::size_t capacity, std::size_t count);
        bool cksizeLowered;
    };
    const std::vector<Case> cases = {
        {"mmioGetInfo fails", MmioCall::getInfo, 0, [](std::size_t, std::size_t, std::size_t) -> std::size_t { return 0; },
         false},
        {"first mmioAdvance fails", MmioCall::advance, 0,
         [](std::size_t buffered, std::size_t, std::size_t) { return buffered; }, true},
        {"second mmioAdvance fails", MmioCall::advance, 1,
         [](std::size_t buffered, std::size_t capacity, std::size_t) { return buffered + capacity; }, true},
        {"mmioSetInfo fails", MmioCall::setInfo, 0,
         [](std::size_t, std::size_t, std::size_t count) { return count; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT result = E_FAIL;
        Wave wave = openWave(wavFile(pcm, samples), &result);
        ASSERT_EQ(result, S_OK);
        const HMMIO handle = access().waveHandle(wave.get());
        const std::size_t copied = c.copied(bufferedBytes(handle), bufferCapacity(handle), size);
        if (c.call == MmioCall::advance) {
            ASSERT_LT(copied, size) << "the failure must fall inside the read";
        }

        platform::failMmioCall(c.call, 1, c.successesFirst);
        const ReadOutcome failed = read(wave.get(), size);
        EXPECT_EQ(failed.result, E_FAIL);
        EXPECT_EQ(failed.countRead, 0u);
        EXPECT_EQ(failed.destination.substr(0, copied), samples.substr(0, copied));
        EXPECT_EQ(failed.destination.find_first_not_of(untouched, copied), std::string::npos);
        EXPECT_EQ(remaining(wave.get()), c.cksizeLowered ? 0u : size);

        // A rewind gives the whole sound again.
        platform::clearMmioFaults();
        ASSERT_EQ(access().seekWaveToData(wave.get()), S_OK);
        const ReadOutcome whole = read(wave.get(), size);
        EXPECT_EQ(whole.result, S_OK);
        EXPECT_EQ(whole.destination, samples);
    }
}

TEST_F(WaveFileTest, DestroyingAWaveFileThatNeverOpenedClosesNothing) {
    HRESULT result = E_FAIL;
    Wave open = openWave(wavFile(pcm, toneSamples(pcm, 10)), &result);
    ASSERT_EQ(result, S_OK);
    Wave never = createWave();
    never.reset();
    EXPECT_EQ(platform::openMmioFileCount(), 1u);
    EXPECT_EQ(access().seekWaveToData(open.get()), S_OK);
}

}  // namespace
}  // namespace kob::test
