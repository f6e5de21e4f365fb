// The device and buffer calls: what they accept, refuse and report.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "audio_test_support.h"

namespace kob::test {
namespace {

using platform::bufferContents;
using platform::liveBufferCount;

class SoundBufferCalls : public AudioTest {};

// ---- Creation -----------------------------------------------------------------

struct RefusalCase {
    std::string name;
    std::function<void(DSBUFFERDESC&, WAVEFORMATEX&)> change;
    HRESULT expected;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class BufferRefusal : public AudioTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(BufferRefusal, LeavesNoBufferAndTakesNoMemory) {
    WAVEFORMATEX format = pcmFormat(2, 22050, 16);
    DSBUFFERDESC d = bufferDescription(format, 4000);
    GetParam().change(d, format);
    auto* buffer = reinterpret_cast<IDirectSoundBuffer*>(&format);  // anything not null
    EXPECT_EQ(device->CreateSoundBuffer(&d, &buffer, nullptr), GetParam().expected);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(liveBufferCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BufferRefusal,
    ::testing::Values(
        RefusalCase{"NoFormat", [](auto& d, auto&) { d.lpwfxFormat = nullptr; }, DSERR_INVALIDPARAM},
        RefusalCase{"SizeFieldZero", [](auto& d, auto&) { d.dwSize = 0; }, DSERR_INVALIDPARAM},
        RefusalCase{"SizeFieldTooLarge", [](auto& d, auto&) { d.dwSize = sizeof(DSBUFFERDESC) + 4; },
                    DSERR_INVALIDPARAM},
        RefusalCase{"PrimaryBuffer", [](auto& d, auto&) { d.dwFlags |= DSBCAPS_PRIMARYBUFFER; }, DSERR_INVALIDPARAM},
        RefusalCase{"BothLocations",
                    [](auto& d, auto&) { d.dwFlags |= DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE; },
                    DSERR_INVALIDPARAM},
        RefusalCase{"HardwareVoice", [](auto& d, auto&) { d.dwFlags |= DSBCAPS_LOCHARDWARE; }, DSERR_INVALIDCALL},
        RefusalCase{"ThreeD", [](auto& d, auto&) { d.dwFlags |= DSBCAPS_CTRL3D; }, DSERR_CONTROLUNAVAIL},
        RefusalCase{"ZeroBytes", [](auto& d, auto&) { d.dwBufferBytes = 0; }, DSERR_INVALIDPARAM},
        RefusalCase{"ThreeBytes", [](auto& d, auto&) { d.dwBufferBytes = 3; }, DSERR_INVALIDPARAM},
        RefusalCase{"PastMaximum", [](auto& d, auto&) { d.dwBufferBytes = DSBSIZE_MAX + 1; }, DSERR_INVALIDPARAM},
        RefusalCase{"FloatSamples",
                    [](auto&, auto& f) {
                        f = pcmFormat(2, 22050, 32);
                        f.wFormatTag = 3;
                    },
                    DSERR_BADFORMAT},
        RefusalCase{"Extensible", [](auto&, auto& f) { f.wFormatTag = 0xFFFE; }, DSERR_BADFORMAT},
        RefusalCase{"NoChannels", [](auto&, auto& f) { f.nChannels = 0; }, DSERR_INVALIDPARAM},
        RefusalCase{"ThreeChannels", [](auto&, auto& f) { f = pcmFormat(3, 22050, 16); }, DSERR_BADFORMAT},
        RefusalCase{"SixChannels", [](auto&, auto& f) { f = pcmFormat(6, 44100, 16); }, DSERR_BADFORMAT},
        RefusalCase{"NoBits", [](auto&, auto& f) { f.wBitsPerSample = 0; }, DSERR_INVALIDPARAM},
        RefusalCase{"TwentyFourBits", [](auto&, auto& f) { f = pcmFormat(2, 22050, 24); }, DSERR_BADFORMAT},
        RefusalCase{"TwelveBits", [](auto&, auto& f) { f.wBitsPerSample = 12; }, DSERR_BADFORMAT},
        RefusalCase{"BlockAlignTooSmall", [](auto&, auto& f) { f.nBlockAlign = 2; }, DSERR_INVALIDPARAM},
        RefusalCase{"BlockAlignTooLarge", [](auto&, auto& f) { f.nBlockAlign = 8; }, DSERR_INVALIDPARAM},
        RefusalCase{"ByteRateWrong", [](auto&, auto& f) { f.nAvgBytesPerSec += 1; }, DSERR_INVALIDPARAM},
        RefusalCase{"NoRate", [](auto&, auto& f) { f = pcmFormat(2, 0, 16); }, DSERR_INVALIDPARAM},
        RefusalCase{"RateBelow100", [](auto&, auto& f) { f = pcmFormat(2, 99, 16); }, DSERR_BADFORMAT},
        RefusalCase{"RateAbove200000", [](auto&, auto& f) { f = pcmFormat(1, 200001, 8); }, DSERR_BADFORMAT}),
    [](const auto& tested) { return tested.param.name; });

TEST_F(SoundBufferCalls, RefusesMissingPointersAndAnOuterObject) {
    WAVEFORMATEX format = pcmFormat(1, 22050, 16);
    DSBUFFERDESC d = bufferDescription(format, 100);
    IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(&d);
    EXPECT_EQ(device->CreateSoundBuffer(nullptr, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(device->CreateSoundBuffer(&d, nullptr, nullptr), DSERR_INVALIDPARAM);
    buffer = reinterpret_cast<IDirectSoundBuffer*>(&d);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &buffer, reinterpret_cast<LPUNKNOWN>(&d)), DSERR_NOAGGREGATION);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(liveBufferCount(), 0u);
}

TEST_F(SoundBufferCalls, AcceptsTheLimitsOfEveryRange) {
    struct Accepted {
        WAVEFORMATEX format;
        DWORD bytes;
    };
    for (const Accepted& a : {Accepted{pcmFormat(1, 100, 8), 4}, Accepted{pcmFormat(2, 200000, 16), 4},
                              Accepted{pcmFormat(1, 11025, 16), 4001}, Accepted{pcmFormat(2, 8000, 8), 4}}) {
        WAVEFORMATEX format = a.format;
        DSBUFFERDESC d = bufferDescription(format, a.bytes);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&d, &buffer, nullptr), DS_OK) << format.nSamplesPerSec;
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(info(buffer).sizeBytes, a.bytes);
        EXPECT_EQ(buffer->Release(), 0u);
    }
    EXPECT_EQ(liveBufferCount(), 0u);
}

TEST_F(SoundBufferCalls, AcceptsAShortDescriptionAndA16BytePcmRecord) {
    // Older callers pass the description without its 3D field and a bare
    // PCMWAVEFORMAT; nothing past the PCM fields may be read.
    PCMWAVEFORMAT pcm{{WAVE_FORMAT_PCM, 1, 22050, 44100, 2}, 16};
    DSBUFFERDESC d{};
    d.dwSize = offsetof(DSBUFFERDESC, guid3DAlgorithm);
    d.dwFlags = kSlotFlags;
    d.dwBufferBytes = 64;
    d.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(&pcm);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&d, &buffer, nullptr), DS_OK);
    held.push_back(buffer);
    const WAVEFORMATEX f = info(buffer).format;
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 22050u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
}

TEST_F(SoundBufferCalls, TheProbeBufferTakesNoMemory) {
    WAVEFORMATEX format = pcmFormat(2, 22050, 16);
    DSBUFFERDESC d = bufferDescription(format, DSBSIZE_MAX, kProbeFlags);
    IDirectSoundBuffer* probe = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&d, &probe, nullptr), DS_OK);
    const auto i = info(probe);
    EXPECT_TRUE(i.probe);
    EXPECT_FALSE(i.allocated);
    EXPECT_EQ(i.sizeBytes, DSBSIZE_MAX);
    EXPECT_TRUE(bufferContents(i.id).empty());
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(liveBufferCount(), 0u);
}

TEST_F(SoundBufferCalls, ANewBufferIsStoppedAtFullLevelCentredAndSilent) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 8), std::vector<std::uint8_t>(10, 0x80));
    LONG volume = -1;
    EXPECT_EQ(b->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(status(b), 0u);
    const auto i = info(b);
    EXPECT_EQ(i.pan, 0);
    EXPECT_EQ(i.positionBytes, 0u);
    EXPECT_EQ(i.references, 1u);

    // Memory taken on the first Lock starts as the format's silence.
    IDirectSoundBuffer* fresh8 = nullptr;
    WAVEFORMATEX f8 = pcmFormat(1, 22050, 8);
    DSBUFFERDESC d = bufferDescription(f8, 6);
    ASSERT_EQ(device->CreateSoundBuffer(&d, &fresh8, nullptr), DS_OK);
    held.push_back(fresh8);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(fresh8->Lock(0, 6, &p, &n, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(fresh8->Unlock(p, n, nullptr, 0), DS_OK);
    EXPECT_EQ(bufferContents(info(fresh8).id), std::vector<std::uint8_t>(6, 0x80));
}

// ---- Lock and Unlock ----------------------------------------------------------

TEST_F(SoundBufferCalls, LockHandsOutTheRequestedRangeAndWhatIsWrittenStays) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(100, 0));
    void* p1 = nullptr;
    void* p2 = reinterpret_cast<void*>(1);
    DWORD n1 = 0;
    DWORD n2 = 7;
    ASSERT_EQ(b->Lock(10, 20, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 20u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n2, 0u);
    std::fill_n(static_cast<std::uint8_t*>(p1), n1, 0xAB);
    ASSERT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);
    const auto bytes = bufferContents(info(b).id);
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(bytes[10], 0xAB);
    EXPECT_EQ(bytes[29], 0xAB);
    EXPECT_EQ(bytes[30], 0);
}

TEST_F(SoundBufferCalls, ALockPastTheEndWrapsToTheStart) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(100, 0));
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    ASSERT_EQ(b->Lock(90, 30, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 10u);
    EXPECT_EQ(n2, 20u);
    EXPECT_EQ(static_cast<std::uint8_t*>(p1) - static_cast<std::uint8_t*>(p2), 90);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);

    // Without a second pair only the first region is handed out.
    p2 = nullptr;
    ASSERT_EQ(b->Lock(90, 30, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    EXPECT_EQ(n1, 10u);
    EXPECT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);

    // The whole buffer from an offset wraps too; the length asked for is ignored.
    ASSERT_EQ(b->Lock(40, 1, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1, 60u);
    EXPECT_EQ(n2, 40u);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
}

TEST_F(SoundBufferCalls, LockRefusesRangesOutsideTheBufferAndMissingPointers) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(100, 0));
    void* p1 = reinterpret_cast<void*>(1);
    DWORD n1 = 5;
    struct Range {
        DWORD offset, bytes;
    };
    for (const Range r : {Range{100, 1}, Range{0, 0}, Range{0, 101}, Range{200, 10}}) {
        EXPECT_EQ(b->Lock(r.offset, r.bytes, &p1, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM) << r.offset << "+" << r.bytes;
        EXPECT_EQ(p1, nullptr);
        EXPECT_EQ(n1, 0u);
    }
    EXPECT_EQ(b->Lock(0, 10, nullptr, &n1, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(0, 10, &p1, nullptr, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferCalls, UnlockTakesBackOnlyWhatLockHandedOut) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(100, 0));
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(b->Lock(0, 50, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    std::uint8_t elsewhere[4];
    EXPECT_EQ(b->Unlock(elsewhere, 4, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(nullptr, 0, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(p1, 51, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(p1, 50, elsewhere, 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Unlock(p1, 50, nullptr, 0), DS_OK);
    EXPECT_EQ(b->Unlock(p1, 50, nullptr, 0), DSERR_INVALIDPARAM);  // already given back
}

// ---- Volume, pan, position ------------------------------------------------------

TEST_F(SoundBufferCalls, VolumeAndPanOutsideTheirRangesAreRefusedAndChangeNothing) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(8, 0));
    ASSERT_EQ(b->SetVolume(-2500), DS_OK);
    ASSERT_EQ(b->SetPan(300), DS_OK);
    for (LONG v : {1, 100, -10001, -20000}) EXPECT_EQ(b->SetVolume(v), DSERR_INVALIDPARAM) << v;
    for (LONG p : {10001, -10001}) EXPECT_EQ(b->SetPan(p), DSERR_INVALIDPARAM) << p;
    LONG volume = 0;
    EXPECT_EQ(b->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -2500);
    EXPECT_EQ(info(b).pan, 300);
    for (LONG v : {0, -10000}) EXPECT_EQ(b->SetVolume(v), DS_OK);
    for (LONG p : {10000, -10000, 0}) EXPECT_EQ(b->SetPan(p), DS_OK);
    EXPECT_EQ(b->GetVolume(nullptr), DSERR_INVALIDPARAM);
}

TEST_F(SoundBufferCalls, VolumeAndPanNeedTheirControls) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 22050, 16), std::vector<std::uint8_t>(8, 0), DSBCAPS_STATIC);
    LONG volume = 0;
    EXPECT_EQ(b->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->GetVolume(&volume), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(b->SetPan(100), DSERR_CONTROLUNAVAIL);
}

TEST_F(SoundBufferCalls, PositionsFallOnWholeFramesInsideTheBuffer) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(2, 22050, 16), std::vector<std::uint8_t>(402, 0));
    EXPECT_EQ(b->SetCurrentPosition(7), DS_OK);
    EXPECT_EQ(info(b).positionBytes, 4u);
    EXPECT_EQ(b->SetCurrentPosition(399), DS_OK);
    EXPECT_EQ(info(b).positionBytes, 396u);
    // The two bytes of the trailing partial frame are no frame: back to the start.
    EXPECT_EQ(b->SetCurrentPosition(401), DS_OK);
    EXPECT_EQ(info(b).positionBytes, 0u);
    EXPECT_EQ(b->SetCurrentPosition(402), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetCurrentPosition(0xFFFFFFFF), DSERR_INVALIDPARAM);
}

// ---- Play and Stop ------------------------------------------------------------

TEST_F(SoundBufferCalls, PlayOnAPlayingBufferOnlyChangesLooping) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 44100, 16), std::vector<std::uint8_t>(2000, 0));
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(status(b), DSBSTATUS_PLAYING);
    platform::render(300);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(status(b), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(info(b).positionBytes, 600u);  // not restarted
    platform::render(1000);                   // past the end: wraps
    EXPECT_EQ(status(b), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(info(b).positionBytes, 600u);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    platform::render(999);
    EXPECT_EQ(status(b), 0u);  // ran out this time
}

TEST_F(SoundBufferCalls, PlayRefusesReservedAndPriorityValues) {
    IDirectSoundBuffer* b = makeBuffer(pcmFormat(1, 44100, 16), std::vector<std::uint8_t>(200, 0));
    EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Play(0, 5, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(status(b), 0u);
}

TEST_F(SoundBufferCalls, StopKeepsThePositionAndPlayGoesOnFromIt) {
    std::vector<float> ramp;
    for (int i = 0; i < 1000; ++i) ramp.push_back(static_cast<float>(i) / 1024.0f);
    IDirectSoundBuffer* b = makeSound(ramp, 1, 44100);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    platform::render(250);
    ASSERT_EQ(b->Stop(), DS_OK);
    EXPECT_EQ(status(b), 0u);
    EXPECT_EQ(info(b).positionBytes, 500u);
    EXPECT_EQ(platform::render(10), std::vector<float>(20, 0.0f));  // stopped: silence, no movement
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    const auto out = platform::render(1);
    EXPECT_FLOAT_EQ(out[0], ramp[250]);
    ASSERT_EQ(b->Stop(), DS_OK);
    ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_FLOAT_EQ(platform::render(2)[2], ramp[1]);
}

// ---- Lifetime -------------------------------------------------------------------

TEST_F(SoundBufferCalls, ReferencesCountUpAndTheLastReleaseGivesTheBufferUp) {
    WAVEFORMATEX format = pcmFormat(1, 22050, 16);
    DSBUFFERDESC d = bufferDescription(format, 100);
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    EXPECT_EQ(b->AddRef(), 2u);
    EXPECT_EQ(b->Release(), 1u);
    EXPECT_EQ(liveBufferCount(), 1u);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(liveBufferCount(), 0u);
    EXPECT_FALSE(platform::bufferIdOf(b).has_value());
}

TEST_F(SoundBufferCalls, BuffersHeldPastTheirDeviceFailSafelyAndStillRelease) {
    std::vector<float> tone = sine(1000, 44100, 4410, 0.5);
    IDirectSoundBuffer* b = makeSound(tone, 1, 44100);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    EXPECT_EQ(platform::liveDeviceCount(), 0u);
    EXPECT_TRUE(info(b).detached);
    DWORD s = 0x55;
    EXPECT_EQ(b->GetStatus(&s), DSERR_INVALIDCALL);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(b->SetVolume(-100), DSERR_INVALIDCALL);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(b->Lock(0, 10, &p, &n, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(peak(platform::render(512)), 0.0f);  // no longer mixed
    release(b);
    EXPECT_EQ(liveBufferCount(), 0u);
}

TEST_F(SoundBufferCalls, AResetLeavesHeldObjectsSafeToCallAndRelease) {
    IDirectSoundBuffer* b = makeSound(sine(1000, 44100, 441, 0.5), 1, 44100);
    b->AddRef();
    platform::reset();
    EXPECT_EQ(liveBufferCount(), 0u);
    EXPECT_EQ(platform::liveDeviceCount(), 0u);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_INVALIDCALL);
    IDirectSoundBuffer* another = reinterpret_cast<IDirectSoundBuffer*>(b);
    WAVEFORMATEX format = pcmFormat(1, 22050, 16);
    DSBUFFERDESC d = bufferDescription(format, 100);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &another, nullptr), DSERR_INVALIDCALL);
    EXPECT_EQ(another, nullptr);
    EXPECT_EQ(b->Release(), 1u);  // the fixture releases the last reference
}

// ---- The device ---------------------------------------------------------------------

TEST_F(SoundBufferCalls, DirectSoundCreateOffersOnlyTheDefaultDevice) {
    IDirectSound* other = device;
    EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(DirectSoundCreate(nullptr, &other, reinterpret_cast<LPUNKNOWN>(device)), DSERR_NOAGGREGATION);
    EXPECT_EQ(other, nullptr);
    const GUID someDevice{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DirectSoundCreate(&someDevice, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(other, nullptr);
    const GUID none{};
    ASSERT_EQ(DirectSoundCreate(&none, &other, nullptr), DS_OK);
    EXPECT_EQ(platform::liveDeviceCount(), 2u);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(platform::liveDeviceCount(), 1u);
}

TEST_F(SoundBufferCalls, CooperativeLevelTakesAnyWindowAndTheKnownLevels) {
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(device->SetCooperativeLevel(platform::registerWindow("FS98MAIN"), DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 4), DS_OK);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 5), DSERR_INVALIDPARAM);
}

}  // namespace
}  // namespace kob::test
