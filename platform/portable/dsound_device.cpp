// DirectSoundCreate and the device's methods.
#include "dsound_device.h"

#include <algorithm>
#include <iterator>

#include "audio_state.h"
#include "buffer_description.h"
#include "dsound_buffer.h"

namespace kob::platform {
namespace {

constexpr DWORD kHighestCooperativeLevel = 4;  // DSSCL_WRITEPRIMARY

bool isNullGuid(const GUID& guid) {
    return guid.Data1 == 0 && guid.Data2 == 0 && guid.Data3 == 0 &&
           std::all_of(std::begin(guid.Data4), std::end(guid.Data4), [](std::uint8_t b) { return b == 0; });
}

std::vector<std::int64_t> describe(LPCDSBUFFERDESC d) {
    if (!d || !d->lpwfxFormat) return {};
    const WAVEFORMATEX f = pcmFormatOf(*d);
    return {d->dwFlags, d->dwBufferBytes, f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.wBitsPerSample};
}

}  // namespace

SoundDevice::SoundDevice() { audioState().devices.push_back(this); }

SoundDevice::~SoundDevice() {
    AudioState& audio = audioState();
    std::erase(audio.devices, this);
    for (SoundBuffer* buffer : audio.buffers)
        if (buffer->device() == this) buffer->detach();
}

HRESULT SoundDevice::logged(std::string_view method, BufferId buffer, std::vector<std::int64_t> args,
                            HRESULT result) {
    audioState().log.add(method, buffer, std::move(args), result);
    return result;
}

ULONG SoundDevice::AddRef() {
    AudioLock lock(audioState().mutex);
    ++references_;
    logged("AddRef", 0, {}, static_cast<HRESULT>(references_));
    return references_;
}

ULONG SoundDevice::Release() {
    AudioLock lock(audioState().mutex);
    const ULONG left = --references_;
    logged("Release", 0, {}, static_cast<HRESULT>(left));
    if (left == 0) delete this;
    return left;
}

HRESULT SoundDevice::SetCooperativeLevel(HWND window, DWORD level) {
    AudioLock lock(audioState().mutex);
    const std::vector<std::int64_t> args{window ? 1 : 0, level};
    if (detached_) return logged("SetCooperativeLevel", 0, args, DSERR_INVALIDCALL);
    if (auto fault = audioState().faults.take(AudioCall::SetCooperativeLevel))
        return logged("SetCooperativeLevel", 0, args, *fault);
    // Any window will do, none included: there is no focus to follow.
    if (level < DSSCL_NORMAL || level > kHighestCooperativeLevel)
        return logged("SetCooperativeLevel", 0, args, DSERR_INVALIDPARAM);
    return logged("SetCooperativeLevel", 0, args, DS_OK);
}

HRESULT SoundDevice::CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) {
    AudioLock lock(audioState().mutex);
    AudioState& audio = audioState();
    const auto args = describe(description);
    if (!buffer) return logged("CreateSoundBuffer", 0, args, DSERR_INVALIDPARAM);
    *buffer = nullptr;
    if (detached_) return logged("CreateSoundBuffer", 0, args, DSERR_INVALIDCALL);
    const bool probe = description && description->dwBufferBytes == DSBSIZE_MAX;
    if (auto fault = audio.faults.take(AudioCall::CreateSoundBuffer, kAnyBuffer, probe))
        return logged("CreateSoundBuffer", 0, args, *fault);
    if (outer) return logged("CreateSoundBuffer", 0, args, DSERR_NOAGGREGATION);
    if (const HRESULT refused = checkBufferDescription(description); FAILED(refused))
        return logged("CreateSoundBuffer", 0, args, refused);

    SoundBuffer* created = nullptr;
    try {
        created = new SoundBuffer(audio.nextBufferId, *this, *description);
    } catch (...) {
        return logged("CreateSoundBuffer", 0, args, DSERR_OUTOFMEMORY);
    }
    ++audio.nextBufferId;
    *buffer = created;
    return logged("CreateSoundBuffer", created->id(), args, DS_OK);
}

}  // namespace kob::platform

using namespace kob::platform;

HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
    AudioLock lock(audioState().mutex);
    AudioState& audio = audioState();
    const auto logged = [&](HRESULT result) {
        audio.log.add("DirectSoundCreate", 0, {device ? 1 : 0, outer ? 1 : 0}, result);
        return result;
    };
    if (!directSound) return logged(DSERR_INVALIDPARAM);
    *directSound = nullptr;
    if (auto fault = audio.faults.take(AudioCall::DirectSoundCreate)) return logged(*fault);
    if (outer) return logged(DSERR_NOAGGREGATION);
    // Only the default output exists (a null GUID names it too).
    if (device && !isNullGuid(*device)) return logged(DSERR_NODRIVER);
    try {
        *directSound = new SoundDevice;
    } catch (...) {
        return logged(DSERR_OUTOFMEMORY);
    }
    return logged(DS_OK);
}
