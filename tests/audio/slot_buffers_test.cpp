// The module's audio device and slot buffers over the portable DirectSound:
// the device and its probe, loading a slot into one static buffer, filling,
// restoring a lost buffer, playing and releasing, with injected failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"
#include "kob_platform/mmio_control.h"
#include "kob_platform/win32.h"
#include "sound_fixture.h"
#include "wav_builder.h"

namespace kob::test {
namespace {

using platform::AudioCall;
using platform::AudioCallRecord;
using platform::BufferId;

constexpr DWORD slotFlags = 0xC2;
constexpr DWORD probeFlags = 0xC8;
constexpr std::uint32_t untouchedBytes = 0xC0FFEEu;
// A success code other than DS_OK (S_FALSE on Windows).
constexpr HRESULT successButNotZero = 1;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::string> methodNames(const std::vector<AudioCallRecord>& log) {
    std::vector<std::string> names;
    for (const auto& call : log) names.emplace_back(call.method);
    return names;
}

std::vector<AudioCallRecord> only(const std::vector<AudioCallRecord>& log, std::string_view method) {
    std::vector<AudioCallRecord> found;
    for (const auto& call : log)
        if (call.method == method) found.push_back(call);
    return found;
}

using Args = std::vector<std::int64_t>;

class SlotBuffersTest : public SoundFixture {
protected:
    struct Sound {
        std::string path;
        std::string data;  // the bytes of its data chunk
    };

    IDirectSound* device() const { return *access().audioDevice; }
    IDirectSoundBuffer* slotBuffer(int slot) const { return access().slotBuffers[slot]; }
    WaveFile* slotWave(int slot) const { return access().slotWaves[slot]; }
    std::uint32_t slotBytes(int slot) const { return access().slotBufferBytes[slot]; }
    DWORD remaining(int slot) const { return access().waveDataChunk(slotWave(slot))->cksize; }
    auto slotIndex(int slot) const { return static_cast<std::uint16_t>(slot); }

    Sound writeSound(const std::string& name, const WaveFormat& format, const std::string& samples) const {
        return {dir.write(name, wavFile(format, samples)).string(), samples};
    }
    Sound writeTone(const std::string& name, const WaveFormat& format, std::uint32_t frames) const {
        return writeSound(name, format, toneSamples(format, frames));
    }

    void deviceReady() {
        ASSERT_EQ(access().createAudioDevice(), S_OK);
        ASSERT_NE(device(), nullptr);
    }

    // A device and the slot loaded with a 16-bit mono tone; the call log cleared.
    Sound loadTone(int slot, const std::string& name = "tone.wav", std::uint32_t frames = 2205) {
        if (!device()) deviceReady();
        const Sound sound = writeTone(name, WaveFormat::pcm(1, 22050, 16), frames);
        EXPECT_EQ(access().loadSlot(slotIndex(slot), sound.path.c_str()), S_OK);
        EXPECT_NE(slotBuffer(slot), nullptr);
        clearCalls();
        return sound;
    }

    std::vector<std::uint8_t> contents(int slot) const {
        const auto id = bufferId(slot);
        if (!id) return {};
        return platform::bufferContents(*id);
    }
    static bool allSilent(const std::vector<std::uint8_t>& bytes) {
        return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
    }
};

// ---- the device -----------------------------------------------------------------

TEST_F(SlotBuffersTest, CreateAudioDeviceSetsTheLevelAndReleasesItsProbeAtOnce) {
    for (const bool windowRegistered : {true, false}) {
        SCOPED_TRACE(windowRegistered ? "host window present" : "no host window");
        access().releaseAudioDevice();  // the previous pass's device
        platform::reset();
        platform::setSleepVirtual(true);
        if (windowRegistered) platform::registerWindow("FS98MAIN");

        EXPECT_EQ(access().createAudioDevice(), S_OK);
        EXPECT_NE(device(), nullptr);
        EXPECT_EQ(platform::liveDeviceCount(), 1u);
        EXPECT_EQ(platform::liveBufferCount(), 0u) << "no buffer of the device remains";

        const auto log = platform::audioCallLog();
        ASSERT_EQ(methodNames(log),
                  (std::vector<std::string>{"DirectSoundCreate", "SetCooperativeLevel", "CreateSoundBuffer", "Release"}));
        EXPECT_EQ(log[0].args, (Args{0, 0})) << "default device, no outer object";
        EXPECT_EQ(log[1].args, (Args{windowRegistered ? 1 : 0, 1})) << "the host's window, DSSCL_NORMAL";
        EXPECT_EQ(log[1].result, S_OK);
        EXPECT_EQ(log[2].args, (Args{probeFlags, DSBSIZE_MAX, WAVE_FORMAT_PCM, 2, 22050, 16}));
        EXPECT_EQ(log[2].result, S_OK) << "the probe's format is consistent enough to be accepted";
        EXPECT_NE(log[2].buffer, 0u);
        EXPECT_EQ(log[3].buffer, log[2].buffer) << "the probe is what is released";
        EXPECT_EQ(log[3].result, 0) << "its last reference";
    }
}

TEST_F(SlotBuffersTest, CreateAudioDeviceStopsAtTheFirstFailure) {
    struct Case {
        const char* name;
        AudioCall call;
        HRESULT code;
        bool deviceRemains;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        {"device creation fails", AudioCall::DirectSoundCreate, DSERR_NODRIVER, false, {"DirectSoundCreate"}},
        {"cooperative level refused", AudioCall::SetCooperativeLevel, DSERR_PRIOLEVELNEEDED, true,
         {"DirectSoundCreate", "SetCooperativeLevel"}},
        {"probe refused", AudioCall::CreateProbeBuffer, DSERR_ALLOCATED, true,
         {"DirectSoundCreate", "SetCooperativeLevel", "CreateSoundBuffer"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        access().releaseAudioDevice();  // the previous case's device
        platform::reset();
        platform::failAudioCalls(c.call, c.code);

        EXPECT_EQ(access().createAudioDevice(), c.code);
        EXPECT_EQ(device() != nullptr, c.deviceRemains);
        EXPECT_EQ(platform::liveDeviceCount(), c.deviceRemains ? 1u : 0u);
        EXPECT_EQ(platform::liveBufferCount(), 0u);
        const auto log = platform::audioCallLog();
        EXPECT_EQ(methodNames(log), c.calls);
        EXPECT_EQ(log.back().result, c.code);
        if (log.size() == 3) {
            EXPECT_EQ(log[1].result, S_OK) << "the cooperative level was set";
        }
    }
}

TEST_F(SlotBuffersTest, ASecondCreateReplacesTheDeviceWithoutReleasingTheFirst) {
    deviceReady();
    IDirectSound* const first = device();
    clearCalls();
    EXPECT_EQ(access().createAudioDevice(), S_OK);
    EXPECT_NE(device(), first);
    EXPECT_EQ(platform::liveDeviceCount(), 2u);
    for (const auto& call : only(platform::audioCallLog(), "Release"))
        EXPECT_NE(call.buffer, 0u) << "only the new probe is released, no device";

    EXPECT_EQ(access().releaseAudioDevice(), S_OK);
    EXPECT_EQ(platform::liveDeviceCount(), 1u) << "the first device is never released";
    first->Release();  // by the test, so that nothing leaks
}

TEST_F(SlotBuffersTest, ReleaseAudioDeviceWithAndWithoutADevice) {
    EXPECT_EQ(access().releaseAudioDevice(), S_OK);
    EXPECT_TRUE(platform::audioCallLog().empty());

    deviceReady();
    clearCalls();
    EXPECT_EQ(access().releaseAudioDevice(), S_OK);
    EXPECT_EQ(device(), nullptr);
    EXPECT_EQ(platform::liveDeviceCount(), 0u);
    EXPECT_EQ(methodNames(platform::audioCallLog()), std::vector<std::string>{"Release"});

    clearCalls();
    EXPECT_EQ(access().releaseAudioDevice(), S_OK);
    EXPECT_TRUE(platform::audioCallLog().empty()) << "the second release has nothing to give up";
}

// ---- isSlotPlaying --------------------------------------------------------------

TEST_F(SlotBuffersTest, IsSlotPlayingFollowsTheBufferAndCountsAFailedStatusAsStopped) {
    deviceReady();
    EXPECT_EQ(access().isSlotPlaying(0), E_FAIL) << "empty slot";
    EXPECT_EQ(access().loadSlot(1, (dir.path() / "missing.wav").string().c_str()), E_FAIL);
    EXPECT_EQ(access().isSlotPlaying(1), E_FAIL) << "a WaveFile but no buffer";

    loadTone(2, "tone.wav", 2205);  // 0.1 s
    EXPECT_EQ(access().isSlotPlaying(2), 0);
    ASSERT_EQ(access().playSlot(2, 0), S_OK);
    EXPECT_EQ(access().isSlotPlaying(2), 1);

    platform::failAudioCalls(AudioCall::GetStatus, DSERR_INVALIDCALL, 1);
    EXPECT_EQ(access().isSlotPlaying(2), 0) << "a failed GetStatus leaves the word at 0";
    EXPECT_TRUE(buffer(2)->playing) << "nothing touched";
    EXPECT_EQ(access().isSlotPlaying(2), 1);

    play(0.3);
    EXPECT_EQ(access().isSlotPlaying(2), 0) << "played once, it stopped at its end";
}

// ---- createSlotBuffer and loadSlot --------------------------------------------

TEST_F(SlotBuffersTest, FailedCreationLeavesTheWaveFileButNoBuffer) {
    const WaveFormat pcm = WaveFormat::pcm(1, 22050, 16);
    const WaveFormat adpcm{2, 1, 22050, 11155, 512, 4};
    const std::string samples = toneSamples(pcm, 500);
    struct Case {
        const char* name;
        std::optional<std::string> file;  // none: no such file
        bool withDevice;
        std::optional<HRESULT> injected;  // refusal of the slot's buffer
        HRESULT expected;
        bool fileStaysOpen;
        std::optional<Args> createRequest;  // CreateSoundBuffer's logged arguments, if it is called
    };
    const Args pcmRequest{slotFlags, 1000, WAVE_FORMAT_PCM, 1, 22050, 16};
    const std::vector<Case> cases{
        {"missing file", std::nullopt, true, std::nullopt, E_FAIL, false, std::nullopt},
        {"not a WAV file", std::string("just some text, no RIFF"), true, std::nullopt, E_FAIL, false, std::nullopt},
        {"buffer refused", wavFile(pcm, samples), true, DSERR_OUTOFMEMORY, DSERR_OUTOFMEMORY, true, pcmRequest},
        {"non-PCM format reaches DirectSound",
         RiffBuilder().chunk("fmt ", fmtBodyWithExtra(adpcm, std::string(32, 'x'))).data(samples).build(), true,
         std::nullopt, DSERR_BADFORMAT, true, Args{slotFlags, 1000, 2, 1, 22050, 4}},
        {"no device", wavFile(pcm, samples), false, std::nullopt, E_FAIL, true, std::nullopt},
    };
    using Operation = HRESULT (*)(std::uint16_t, const char*);
    const std::vector<std::pair<const char*, Operation>> operations{{"createSlotBuffer", access().createSlotBuffer},
                                                                     {"loadSlot", access().loadSlot}};
    int slot = 0;
    for (const auto& [operationName, operation] : operations) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(operationName) + ": " + c.name);
            ++slot;
            if (c.withDevice && !device()) deviceReady();
            if (!c.withDevice) access().releaseAudioDevice();
            const std::string path = c.file ? dir.write("sound" + std::to_string(slot) + ".wav", *c.file).string()
                                            : (dir.path() / "absent.wav").string();
            if (c.injected) platform::failAudioCalls(AudioCall::CreateOtherBuffer, *c.injected, 1);
            access().slotBufferBytes[slot] = untouchedBytes;
            const std::size_t filesBefore = platform::openMmioFileCount();
            clearCalls();

            EXPECT_EQ(operation(slotIndex(slot), path.c_str()), c.expected);
            EXPECT_EQ(slotBuffer(slot), nullptr);
            ASSERT_NE(slotWave(slot), nullptr) << "the WaveFile stays in the slot";
            EXPECT_EQ(access().waveHandle(slotWave(slot)) != nullptr, c.fileStaysOpen);
            EXPECT_EQ(platform::openMmioFileCount(), filesBefore + (c.fileStaysOpen ? 1 : 0));
            EXPECT_EQ(slotBytes(slot), untouchedBytes);
            EXPECT_EQ(platform::liveBufferCount(), 0u);

            const auto log = platform::audioCallLog();
            const auto requests = only(log, "CreateSoundBuffer");
            if (c.createRequest) {
                ASSERT_EQ(requests.size(), 1u);
                EXPECT_EQ(requests[0].args, *c.createRequest);
                EXPECT_EQ(requests[0].result, c.expected);
            } else {
                EXPECT_TRUE(requests.empty()) << "DirectSound is not reached";
            }
            EXPECT_TRUE(only(log, "Lock").empty()) << "no fill after a failed creation";
            EXPECT_EQ(access().playSlot(slotIndex(slot), 0), E_FAIL);
            EXPECT_EQ(access().isSlotPlaying(slotIndex(slot)), E_FAIL);
            platform::clearAudioFaults();
        }
    }
}

TEST_F(SlotBuffersTest, TheSlotBufferIsTheDataSizeInTheFilesOwnFormat) {
    struct Case {
        const char* name;
        WaveFormat format;
        std::string samples;
    };
    const WaveFormat mono8 = WaveFormat::pcm(1, 8000, 8);
    const WaveFormat stereo16 = WaveFormat::pcm(2, 44100, 16);
    const WaveFormat mono16 = WaveFormat::pcm(1, 11025, 16);
    const std::vector<Case> cases{
        {"8-bit mono, odd size", mono8, toneSamples(mono8, 2205)},
        {"16-bit stereo", stereo16, toneSamples(stereo16, 1000)},
        {"16-bit mono, odd size", mono16, toneSamples(mono16, 500) + "\x01"},
        {"smallest buffer", mono8, toneSamples(mono8, 4)},
    };
    deviceReady();
    int slot = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Sound sound = writeSound("sound" + std::to_string(slot) + ".wav", c.format, c.samples);
        clearCalls();
        ASSERT_EQ(access().loadSlot(slotIndex(slot), sound.path.c_str()), S_OK);
        const auto size = static_cast<std::int64_t>(sound.data.size());

        const auto requests = only(platform::audioCallLog(), "CreateSoundBuffer");
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].args,
                  (Args{slotFlags, size, c.format.formatTag, c.format.channels, c.format.samplesPerSec,
                        c.format.bitsPerSample}));

        const auto info = buffer(slot);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->flags, slotFlags);
        EXPECT_EQ(info->sizeBytes, sound.data.size());
        EXPECT_FALSE(info->probe);
        EXPECT_EQ(info->format.nAvgBytesPerSec, c.format.avgBytesPerSec);
        EXPECT_EQ(info->format.nBlockAlign, c.format.blockAlign);
        EXPECT_EQ(slotBytes(slot), sound.data.size());
        EXPECT_EQ(remaining(slot), sound.data.size()) << "the WaveFile rests at its data start";
        EXPECT_EQ(contents(slot), bytesOf(sound.data));
        ++slot;
    }
}

TEST_F(SlotBuffersTest, ReloadingASlotGivesUpTheOldFileAndBufferWithoutStoppingIt) {
    struct Case {
        const char* name;
        bool newFileExists;
    };
    for (const Case c : {Case{"new file loads", true}, Case{"new file missing", false}}) {
        SCOPED_TRACE(c.name);
        access().releaseSlot(0);
        loadTone(0, "old.wav", 22050);
        ASSERT_EQ(access().playSlot(0, 1), S_OK);
        ASSERT_TRUE(buffer(0)->playing);
        const BufferId oldId = *bufferId(0);
        ASSERT_EQ(platform::openMmioFileCount(), 1u);
        const Sound next = writeTone("new.wav", WaveFormat::pcm(2, 44100, 16), 300);
        const std::string path = c.newFileExists ? next.path : (dir.path() / "absent.wav").string();
        clearCalls();

        EXPECT_EQ(access().loadSlot(0, path.c_str()), c.newFileExists ? S_OK : E_FAIL);
        EXPECT_FALSE(platform::bufferInfo(oldId)) << "the old buffer is given up";
        std::vector<std::string> oldCalls;
        for (const auto& call : platform::audioCallLog())
            if (call.buffer == oldId) oldCalls.emplace_back(call.method);
        EXPECT_EQ(oldCalls, std::vector<std::string>{"Release"}) << "released while playing, not stopped";
        EXPECT_EQ(platform::openMmioFileCount(), c.newFileExists ? 1u : 0u) << "the old file is closed";
        if (c.newFileExists) {
            ASSERT_TRUE(bufferId(0));
            EXPECT_NE(*bufferId(0), oldId);
            EXPECT_EQ(contents(0), bytesOf(next.data));
            EXPECT_EQ(slotBytes(0), next.data.size());
        } else {
            EXPECT_EQ(slotBuffer(0), nullptr);
        }
        EXPECT_EQ(platform::liveBufferCount(), c.newFileExists ? 1u : 0u);
    }
}

// ---- fillSlotBuffer -------------------------------------------------------------

TEST_F(SlotBuffersTest, FillWritesTheWholeDataChunkAndRewinds) {
    deviceReady();
    const WaveFormat mono8 = WaveFormat::pcm(1, 8000, 8);
    const Sound sound = writeTone("odd.wav", mono8, 1001);
    ASSERT_EQ(access().createSlotBuffer(3, sound.path.c_str()), S_OK);
    EXPECT_TRUE(contents(3).empty()) << "created, none of the data in it yet";
    const auto size = static_cast<std::int64_t>(sound.data.size());

    for (int fill = 1; fill <= 2; ++fill) {
        SCOPED_TRACE("fill " + std::to_string(fill));
        clearCalls();
        EXPECT_EQ(access().fillSlotBuffer(3), S_OK);
        EXPECT_EQ(contents(3), bytesOf(sound.data));
        EXPECT_EQ(remaining(3), sound.data.size()) << "rewound to the data start";
        const auto log = calls(3);
        ASSERT_EQ(methodNames(log), (std::vector<std::string>{"Lock", "Unlock"}));
        EXPECT_EQ(log[0].args, (Args{0, size, 0, size, 0})) << "offset 0, the whole buffer, flags 0";
        EXPECT_EQ(log[1].args, (Args{0, size, -1, 0})) << "the first region, its size, no second region";
        EXPECT_EQ(log[1].result, S_OK);
    }
}

TEST_F(SlotBuffersTest, AFailedLockWritesNothingButTheWaveFileIsRewound) {
    deviceReady();
    const Sound sound = writeTone("tone.wav", WaveFormat::pcm(1, 22050, 16), 700);
    ASSERT_EQ(access().createSlotBuffer(0, sound.path.c_str()), S_OK);
    platform::failAudioCalls(AudioCall::Lock, DSERR_INVALIDCALL, 1);
    clearCalls();

    EXPECT_EQ(access().fillSlotBuffer(0), DSERR_INVALIDCALL);
    EXPECT_TRUE(contents(0).empty()) << "nothing written";
    EXPECT_EQ(remaining(0), sound.data.size());
    EXPECT_EQ(methodNames(calls(0)), std::vector<std::string>{"Lock"});

    EXPECT_EQ(access().fillSlotBuffer(0), S_OK) << "the next fill finds the whole sound";
    EXPECT_EQ(contents(0), bytesOf(sound.data));
}

TEST_F(SlotBuffersTest, DataRunningPastTheEndOfTheFileNeverReachesTheBuffer) {
    deviceReady();
    const WaveFormat mono16 = WaveFormat::pcm(1, 22050, 16);
    const std::string present = toneSamples(mono16, 300);
    constexpr DWORD declared = 2000;
    const std::string path =
        dir.write("short.wav", RiffBuilder().fmt(mono16).data(present, {.declaredSize = declared}).build()).string();

    EXPECT_EQ(access().loadSlot(0, path.c_str()), E_FAIL) << "the fill's read fails";
    ASSERT_TRUE(buffer(0)) << "the buffer is made at the declared size";
    EXPECT_EQ(buffer(0)->sizeBytes, declared);
    EXPECT_EQ(slotBytes(0), declared);
    EXPECT_EQ(remaining(0), 0u) << "no rewind after a failed read";
    EXPECT_TRUE(only(calls(0), "Lock").empty());
    EXPECT_TRUE(contents(0).empty());

    // With nothing left to read, the fill copies nothing, rewinds and succeeds.
    clearCalls();
    EXPECT_EQ(access().fillSlotBuffer(0), S_OK);
    EXPECT_EQ(methodNames(calls(0)), (std::vector<std::string>{"Lock", "Unlock"}));
    EXPECT_EQ(contents(0).size(), declared);
    EXPECT_TRUE(allSilent(contents(0))) << "none of the file's data";
    EXPECT_EQ(remaining(0), declared);

    // Rewound, the next fill reads the whole chunk again and meets the end of the file again.
    clearCalls();
    EXPECT_EQ(access().fillSlotBuffer(0), E_FAIL);
    EXPECT_TRUE(calls(0).empty());
    EXPECT_EQ(remaining(0), 0u);
    EXPECT_TRUE(allSilent(contents(0)));
}

// ---- restoreSlotBuffer ----------------------------------------------------------

TEST_F(SlotBuffersTest, RestoreLeavesABufferThatIsNotLostAlone) {
    deviceReady();
    clearCalls();
    EXPECT_EQ(access().restoreSlotBuffer(0), S_OK) << "no buffer";
    EXPECT_TRUE(platform::audioCallLog().empty());

    loadTone(0);
    EXPECT_EQ(access().restoreSlotBuffer(0), S_OK);
    EXPECT_EQ(methodNames(calls(0)), std::vector<std::string>{"GetStatus"});
}

TEST_F(SlotBuffersTest, ALostBufferIsRestoredAndRefilledFromTheFirstDataByte) {
    struct Case {
        const char* name;
        std::uint32_t failingRestores;
        std::optional<HRESULT> restoreFault;  // the next two Restore calls return it
        std::size_t restoreCalls;
        std::uint64_t sleptMs;
    };
    const std::vector<Case> cases{
        {"restored at the first call", 0, std::nullopt, 2, 0},
        {"one refusal", 1, std::nullopt, 2, 10},
        {"two refusals", 2, std::nullopt, 4, 10},
        {"three refusals", 3, std::nullopt, 4, 20},
        {"other failures do not sleep", 0, DSERR_INVALIDCALL, 4, 0},
        {"only exactly 0 ends the loop", 0, successButNotZero, 4, 0},
    };
    const Sound sound = loadTone(0);
    const BufferId id = *bufferId(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(contents(0), bytesOf(sound.data));
        ASSERT_TRUE(platform::loseBuffer(id, c.failingRestores));
        if (c.restoreFault) platform::failAudioCalls(AudioCall::Restore, *c.restoreFault, 2, id);
        const std::uint64_t sleptBefore = platform::sleptMilliseconds();
        clearCalls();

        EXPECT_EQ(access().restoreSlotBuffer(0), S_OK);
        EXPECT_FALSE(buffer(0)->lost);
        EXPECT_EQ(contents(0), bytesOf(sound.data)) << "refilled after the restore gave back silence";
        EXPECT_EQ(remaining(0), sound.data.size());
        std::vector<std::string> expected{"GetStatus"};
        expected.insert(expected.end(), c.restoreCalls, "Restore");
        expected.insert(expected.end(), {"Lock", "Unlock"});
        EXPECT_EQ(methodNames(calls(0)), expected);
        EXPECT_EQ(platform::sleptMilliseconds() - sleptBefore, c.sleptMs);
        platform::clearAudioFaults();
    }
}

TEST_F(SlotBuffersTest, ALastingLossIsGivenUpAfterTheBoundedPasses) {
    const Sound sound = loadTone(0);
    const BufferId id = *bufferId(0);
    ASSERT_TRUE(platform::loseBuffer(id));
    const std::uint64_t sleptBefore = platform::sleptMilliseconds();

    EXPECT_EQ(access().restoreSlotBuffer(0), DSERR_BUFFERLOST);
    const auto log = calls(0);
    EXPECT_EQ(restorePassLimit, 100);
    EXPECT_EQ(only(log, "Restore").size(), 200u) << "two calls a pass";
    EXPECT_EQ(platform::sleptMilliseconds() - sleptBefore, 1000u);
    EXPECT_TRUE(only(log, "Lock").empty()) << "not refilled";
    EXPECT_TRUE(buffer(0)->lost);

    // Once the platform can give the memory back, the next play recovers the sound.
    ASSERT_TRUE(platform::loseBuffer(id, 0));
    EXPECT_EQ(access().playSlot(0, 0), S_OK);
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_EQ(contents(0), bytesOf(sound.data));
}

TEST_F(SlotBuffersTest, RestoreFailures) {
    struct Case {
        const char* name;
        AudioCall call;
        HRESULT code;
        bool lostAfter;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        {"status unknown", AudioCall::GetStatus, DSERR_INVALIDCALL, true, {"GetStatus"}},
        {"refill refused", AudioCall::Lock, DSERR_ALLOCATED, false, {"GetStatus", "Restore", "Restore", "Lock"}},
    };
    const Sound sound = loadTone(0);
    const BufferId id = *bufferId(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(platform::loseBuffer(id, 0));
        platform::failAudioCalls(c.call, c.code, 1, id);
        clearCalls();

        EXPECT_EQ(access().restoreSlotBuffer(0), c.code);
        EXPECT_EQ(methodNames(calls(0)), c.calls);
        EXPECT_EQ(buffer(0)->lost, c.lostAfter);
        if (!c.lostAfter) {
            EXPECT_TRUE(allSilent(contents(0))) << "restored but not refilled";
        }

        // Leave the buffer filled for the next row.
        platform::clearAudioFaults();
        ASSERT_EQ(access().restoreSlotBuffer(0), S_OK);
        ASSERT_EQ(access().fillSlotBuffer(0), S_OK);
        ASSERT_EQ(contents(0), bytesOf(sound.data));
    }
}

// ---- playSlot -------------------------------------------------------------------

TEST_F(SlotBuffersTest, PlaySlotLoopsForEveryNonZeroValue) {
    struct Case {
        int looping;
        bool loops;
    };
    loadTone(0);
    for (const Case c : {Case{0, false}, Case{1, true}, Case{7, true}, Case{-1, true}}) {
        SCOPED_TRACE("looping " + std::to_string(c.looping));
        ASSERT_EQ(slotBuffer(0)->Stop(), DS_OK);
        clearCalls();

        EXPECT_EQ(access().playSlot(0, c.looping), S_OK);
        const auto log = calls(0);
        ASSERT_EQ(methodNames(log), (std::vector<std::string>{"GetStatus", "Play"})) << "not lost: no refill";
        EXPECT_EQ(log[1].args, (Args{0, 0, c.loops ? DSBPLAY_LOOPING : 0}));
        EXPECT_TRUE(buffer(0)->playing);
        EXPECT_EQ(buffer(0)->looping, c.loops);
    }
}

TEST_F(SlotBuffersTest, PlaySlotRestoresAndRefillsALostBufferFirst) {
    const Sound sound = loadTone(0);
    ASSERT_TRUE(platform::loseBuffer(*bufferId(0), 1));

    EXPECT_EQ(access().playSlot(0, 1), S_OK);
    EXPECT_EQ(methodNames(calls(0)),
              (std::vector<std::string>{"GetStatus", "Restore", "Restore", "Lock", "Unlock", "Play"}));
    EXPECT_TRUE(buffer(0)->playing);
    EXPECT_EQ(contents(0), bytesOf(sound.data));
}

TEST_F(SlotBuffersTest, PlaySlotDoesNotPlayAfterAFailure) {
    struct Case {
        const char* name;
        bool lost;
        AudioCall call;
        HRESULT code;
    };
    const std::vector<Case> cases{
        {"status unknown", false, AudioCall::GetStatus, DSERR_INVALIDCALL},
        {"refill refused", true, AudioCall::Lock, DSERR_ALLOCATED},
        {"play refused", false, AudioCall::Play, DSERR_PRIOLEVELNEEDED},
    };
    loadTone(0);
    const BufferId id = *bufferId(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.lost) {
            ASSERT_TRUE(platform::loseBuffer(id, 0));
        }
        platform::failAudioCalls(c.call, c.code, 1, id);
        clearCalls();

        EXPECT_EQ(access().playSlot(0, 1), c.code);
        EXPECT_FALSE(buffer(0)->playing);
        const auto plays = only(calls(0), "Play");
        EXPECT_EQ(plays.size(), c.call == AudioCall::Play ? 1u : 0u);
        platform::clearAudioFaults();
    }
    EXPECT_EQ(access().playSlot(5, 0), E_FAIL) << "no buffer";
}

// ---- releaseSlot ----------------------------------------------------------------

TEST_F(SlotBuffersTest, ReleaseSlotGivesUpWaveAndBufferOnce) {
    deviceReady();
    clearCalls();
    EXPECT_EQ(access().releaseSlot(4), S_OK) << "empty slot";
    EXPECT_TRUE(platform::audioCallLog().empty());

    const Sound sound = loadTone(0);
    ASSERT_EQ(access().playSlot(0, 1), S_OK);
    const BufferId id = *bufferId(0);
    clearCalls();
    EXPECT_EQ(access().releaseSlot(0), S_OK);
    EXPECT_EQ(slotWave(0), nullptr);
    EXPECT_EQ(slotBuffer(0), nullptr);
    EXPECT_EQ(platform::openMmioFileCount(), 0u) << "the file is closed";
    EXPECT_FALSE(platform::bufferInfo(id));
    const auto log = platform::audioCallLog();
    ASSERT_EQ(methodNames(log), std::vector<std::string>{"Release"}) << "not stopped here";
    EXPECT_EQ(log[0].buffer, id);
    EXPECT_EQ(slotBytes(0), sound.data.size()) << "the size is not cleared";

    clearCalls();
    EXPECT_EQ(access().releaseSlot(0), S_OK) << "twice";
    EXPECT_TRUE(platform::audioCallLog().empty());

    // A slot with only a WaveFile, from a load that failed.
    EXPECT_EQ(access().loadSlot(1, (dir.path() / "absent.wav").string().c_str()), E_FAIL);
    ASSERT_NE(slotWave(1), nullptr);
    EXPECT_EQ(access().releaseSlot(1), S_OK);
    EXPECT_EQ(slotWave(1), nullptr);
}

}  // namespace
}  // namespace kob::test
