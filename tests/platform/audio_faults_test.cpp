// Fault injection, lost buffers and the call log of the control interface.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "audio_test_support.h"

namespace kob::test {
namespace {

using platform::AudioCall;
using platform::failAudioCalls;
using platform::kForever;

HRESULT lock(IDirectSoundBuffer* b) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0;
    DWORD n2 = 0;
    const HRESULT result = b->Lock(0, 100, &p1, &n1, &p2, &n2, 0);
    if (SUCCEEDED(result)) b->Unlock(p1, n1, p2, n2);
    return result;
}

HRESULT getStatus(IDirectSoundBuffer* b) {
    DWORD s = 0;
    return b->GetStatus(&s);
}

class AudioFaults : public AudioTest {
protected:
    HRESULT createProbe(IDirectSoundBuffer** out) {
        WAVEFORMATEX format = pcmFormat(2, 22050, 16);
        DSBUFFERDESC d = bufferDescription(format, DSBSIZE_MAX, kProbeFlags);
        const HRESULT result = device->CreateSoundBuffer(&d, out, nullptr);
        if (*out) held.push_back(*out);
        return result;
    }
    HRESULT createSlot(IDirectSoundBuffer** out) {
        WAVEFORMATEX format = pcmFormat(1, 22050, 16);
        DSBUFFERDESC d = bufferDescription(format, 2000);
        const HRESULT result = device->CreateSoundBuffer(&d, out, nullptr);
        if (*out) held.push_back(*out);
        return result;
    }
    IDirectSoundBuffer* slotBuffer() {
        return makeSound(sine(1000, 22050, 2205, 0.5), 1, 22050);
    }
};

// ---- Each call that can be made to fail -------------------------------------------

TEST_F(AudioFaults, DirectSoundCreateFailsAsToldThenRecovers) {
    failAudioCalls(AudioCall::DirectSoundCreate, DSERR_NODRIVER, 2);
    IDirectSound* other = device;
    EXPECT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(platform::liveDeviceCount(), 1u);
    ASSERT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DS_OK);
    other->Release();
}

TEST_F(AudioFaults, SetCooperativeLevelFailsForever) {
    failAudioCalls(AudioCall::SetCooperativeLevel, DSERR_ALLOCATED);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_ALLOCATED);
    platform::clearAudioFaults();
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
}

struct CreateCase {
    std::string name;
    AudioCall call;
    bool probeFails;
    bool slotFails;
};

void PrintTo(const CreateCase& c, std::ostream* os) { *os << c.name; }

class CreateFault : public AudioFaults, public ::testing::WithParamInterface<CreateCase> {};

TEST_P(CreateFault, RefusesTheChosenBuffersWithTheChosenCode) {
    failAudioCalls(GetParam().call, DSERR_OUTOFMEMORY);
    IDirectSoundBuffer* probe = reinterpret_cast<IDirectSoundBuffer*>(device);
    IDirectSoundBuffer* slot = reinterpret_cast<IDirectSoundBuffer*>(device);
    EXPECT_EQ(createProbe(&probe), GetParam().probeFails ? DSERR_OUTOFMEMORY : DS_OK);
    EXPECT_EQ(createSlot(&slot), GetParam().slotFails ? DSERR_OUTOFMEMORY : DS_OK);
    EXPECT_EQ(probe == nullptr, GetParam().probeFails);
    EXPECT_EQ(slot == nullptr, GetParam().slotFails);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CreateFault,
                         ::testing::Values(CreateCase{"Every", AudioCall::CreateSoundBuffer, true, true},
                                           CreateCase{"ProbeOnly", AudioCall::CreateProbeBuffer, true, false},
                                           CreateCase{"OthersOnly", AudioCall::CreateOtherBuffer, false, true}),
                         [](const auto& tested) { return tested.param.name; });

struct BufferCallCase {
    std::string name;
    AudioCall call;
    HRESULT (*make)(IDirectSoundBuffer*);
};

void PrintTo(const BufferCallCase& c, std::ostream* os) { *os << c.name; }

class BufferCallFault : public AudioFaults, public ::testing::WithParamInterface<BufferCallCase> {};

TEST_P(BufferCallFault, FailsTheNextCallsThenWorksAgain) {
    IDirectSoundBuffer* b = slotBuffer();
    failAudioCalls(GetParam().call, DSERR_GENERIC, 2);
    EXPECT_EQ(GetParam().make(b), DSERR_GENERIC);
    EXPECT_EQ(GetParam().make(b), DSERR_GENERIC);
    EXPECT_EQ(GetParam().make(b), DS_OK);
}

TEST_P(BufferCallFault, CanBeLimitedToOneBuffer) {
    IDirectSoundBuffer* a = slotBuffer();
    IDirectSoundBuffer* b = slotBuffer();
    failAudioCalls(GetParam().call, DSERR_INVALIDCALL, kForever, info(b).id);
    EXPECT_EQ(GetParam().make(a), DS_OK);
    EXPECT_EQ(GetParam().make(b), DSERR_INVALIDCALL);
    EXPECT_EQ(GetParam().make(b), DSERR_INVALIDCALL);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, BufferCallFault,
    ::testing::Values(BufferCallCase{"Lock", AudioCall::Lock, &lock},
                      BufferCallCase{"GetStatus", AudioCall::GetStatus, &getStatus},
                      BufferCallCase{"Play", AudioCall::Play,
                                     [](IDirectSoundBuffer* b) { return b->Play(0, 0, 0); }},
                      BufferCallCase{"Restore", AudioCall::Restore, [](IDirectSoundBuffer* b) { return b->Restore(); }}),
    [](const auto& tested) { return tested.param.name; });

TEST_F(AudioFaults, AFailedCallChangesNothing) {
    IDirectSoundBuffer* b = slotBuffer();
    failAudioCalls(AudioCall::Play, DSERR_GENERIC, 1);
    failAudioCalls(AudioCall::GetStatus, DSERR_GENERIC, 1);
    EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DSERR_GENERIC);
    DWORD s = 0x1234;
    EXPECT_EQ(b->GetStatus(&s), DSERR_GENERIC);
    EXPECT_EQ(s, 0x1234u);
    EXPECT_FALSE(info(b).playing);
    failAudioCalls(AudioCall::Lock, DSERR_GENERIC, 1);
    void* p = reinterpret_cast<void*>(1);
    DWORD n = 9;
    EXPECT_EQ(b->Lock(0, 10, &p, &n, nullptr, nullptr, 0), DSERR_GENERIC);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(n, 0u);
}

// ---- Lost buffers ----------------------------------------------------------------------

TEST_F(AudioFaults, ALostBufferStopsAndRefusesPlayAndLockUntilRestored) {
    IDirectSoundBuffer* b = slotBuffer();
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    platform::render(1000);
    ASSERT_TRUE(platform::loseBuffer(b, 2));
    EXPECT_EQ(status(b), DSBSTATUS_BUFFERLOST);
    const auto positionWhenLost = info(b).positionBytes;
    platform::render(1000);
    EXPECT_EQ(info(b).positionBytes, positionWhenLost);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(lock(b), DSERR_BUFFERLOST);

    EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Restore(), DS_OK);
    EXPECT_EQ(status(b), 0u);
    EXPECT_EQ(b->Restore(), DS_OK);  // nothing left to restore

    // What was written is gone: the restored buffer holds silence until refilled.
    const auto bytes = platform::bufferContents(info(b).id);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t v) { return v == 0; }));
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(peak(platform::render(8820)), 0.0f);
    write(b, encodePcm(sine(1000, 22050, 2205, 0.5), 16));
    EXPECT_GT(peak(platform::render(8820)), 0.4f);
}

TEST_F(AudioFaults, ARestoredEightBitBufferHoldsItsSilence) {
    IDirectSoundBuffer* b = makeSound(sine(1000, 22050, 100, 0.5), 1, 22050, 8);
    ASSERT_TRUE(platform::loseBuffer(info(b).id, 0));
    EXPECT_EQ(b->Restore(), DS_OK);
    const auto bytes = platform::bufferContents(info(b).id);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>(100, 0x80));
}

TEST_F(AudioFaults, ALossCanLastUntilItIsEnded) {
    IDirectSoundBuffer* b = slotBuffer();
    ASSERT_TRUE(platform::loseBuffer(info(b).id));
    for (int i = 0; i < 100; ++i) ASSERT_EQ(b->Restore(), DSERR_BUFFERLOST);
    ASSERT_TRUE(platform::loseBuffer(info(b).id, 0));
    EXPECT_EQ(b->Restore(), DS_OK);
}

TEST_F(AudioFaults, EveryBufferCanBeLostAtOnce) {
    IDirectSoundBuffer* a = slotBuffer();
    IDirectSoundBuffer* b = slotBuffer();
    platform::loseAllBuffers(1);
    for (auto* v : {a, b}) {
        EXPECT_EQ(status(v), DSBSTATUS_BUFFERLOST);
        EXPECT_EQ(v->Restore(), DSERR_BUFFERLOST);
        EXPECT_EQ(v->Restore(), DS_OK);
    }
    EXPECT_FALSE(platform::loseBuffer(platform::BufferId{99}));
    EXPECT_FALSE(platform::loseBuffer(reinterpret_cast<IDirectSoundBuffer*>(device)));
}

// ---- The call log -----------------------------------------------------------------------

TEST_F(AudioFaults, TheLogRecordsEachCallWithItsArgumentsAndResult) {
    platform::clearAudioCallLog();
    IDirectSoundBuffer* b = nullptr;
    ASSERT_EQ(createSlot(&b), DS_OK);
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(b->Lock(0, 2000, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    ASSERT_EQ(b->Unlock(p1, 2000, nullptr, 0), DS_OK);
    ASSERT_EQ(b->SetVolume(-700), DS_OK);
    EXPECT_EQ(b->SetPan(20000), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD s = 0;
    ASSERT_EQ(b->GetStatus(&s), DS_OK);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    b->AddRef();
    b->Release();

    const auto log = platform::audioCallLog();
    const platform::BufferId id = info(b).id;
    struct Expected {
        std::string_view method;
        platform::BufferId buffer;
        std::vector<std::int64_t> args;
        HRESULT result;
    };
    const std::vector<Expected> expected{
        {"CreateSoundBuffer", id, {kSlotFlags, 2000, WAVE_FORMAT_PCM, 1, 22050, 16}, DS_OK},
        {"Lock", id, {0, 2000, 0, 2000, 0}, DS_OK},
        {"Unlock", id, {0, 2000, -1, 0}, DS_OK},
        {"SetVolume", id, {-700}, DS_OK},
        {"SetPan", id, {20000}, DSERR_INVALIDPARAM},
        {"Play", id, {0, 0, 1}, DS_OK},
        {"GetStatus", id, {DSBSTATUS_PLAYING | DSBSTATUS_LOOPING}, DS_OK},
        {"SetCooperativeLevel", 0, {0, 1}, DS_OK},
        {"AddRef", id, {}, 2},
        {"Release", id, {}, 1},
    };
    ASSERT_EQ(log.size(), expected.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].method, expected[i].method) << i;
        EXPECT_EQ(log[i].buffer, expected[i].buffer) << i;
        EXPECT_EQ(log[i].args, expected[i].args) << i;
        EXPECT_EQ(log[i].result, expected[i].result) << i;
    }
}

TEST_F(AudioFaults, TheLogShowsInjectedFailuresAndForeignPointers) {
    IDirectSoundBuffer* b = slotBuffer();
    platform::clearAudioCallLog();
    failAudioCalls(AudioCall::Restore, DSERR_GENERIC, 1);
    EXPECT_EQ(b->Restore(), DSERR_GENERIC);
    std::uint8_t elsewhere[2];
    EXPECT_EQ(b->Unlock(elsewhere, 2, nullptr, 0), DSERR_INVALIDPARAM);
    const auto log = platform::audioCallLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].method, "Restore");
    EXPECT_EQ(log[0].result, DSERR_GENERIC);
    EXPECT_EQ(log[1].args, (std::vector<std::int64_t>{-2, 2, -1, 0}));
}

TEST_F(AudioFaults, TheLogCanBeClearedAndSwitchedOff) {
    IDirectSoundBuffer* b = slotBuffer();
    EXPECT_FALSE(platform::audioCallLog().empty());
    platform::clearAudioCallLog();
    EXPECT_TRUE(platform::audioCallLog().empty());
    platform::setAudioCallLogging(false);
    b->Stop();
    EXPECT_TRUE(platform::audioCallLog().empty());
    platform::setAudioCallLogging(true);
    b->Stop();
    EXPECT_EQ(platform::audioCallLog().size(), 1u);
    platform::reset();
    EXPECT_TRUE(platform::audioCallLog().empty());
}

}  // namespace
}  // namespace kob::test
