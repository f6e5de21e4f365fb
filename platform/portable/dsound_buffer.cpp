// Secondary buffer methods, with the results the Windows ones give.
#include "dsound_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "audio_state.h"
#include "buffer_description.h"

namespace kob::platform {
namespace {

PcmShape shapeOf(const WAVEFORMATEX& format) {
    return {format.nChannels, static_cast<std::uint16_t>(format.wBitsPerSample / 8), format.nSamplesPerSec};
}

std::int64_t value(DWORD v) { return static_cast<std::int64_t>(v); }

}  // namespace

SoundBuffer::SoundBuffer(BufferId id, SoundDevice& device, const DSBUFFERDESC& description)
    : id_(id),
      device_(&device),
      flags_(description.dwFlags),
      size_(description.dwBufferBytes),
      format_(pcmFormatOf(description)),
      probe_(description.dwBufferBytes == DSBSIZE_MAX) {
    voice_.shape = shapeOf(format_);
    // A trailing partial frame (a size that is not a multiple of the block) is never played.
    voice_.frames = size_ / voice_.shape.bytesPerFrame();
    voice_.gain.jumpTo(gainFor(volume_, pan_));
    AudioState& audio = audioState();
    audio.buffers.push_back(this);
    try {
        audio.mixer.attach(voice_);
    } catch (...) {
        std::erase(audio.buffers, this);
        throw;
    }
}

SoundBuffer::~SoundBuffer() {
    AudioState& audio = audioState();
    audio.mixer.detach(voice_);
    std::erase(audio.buffers, this);
}

HRESULT SoundBuffer::logged(std::string_view method, std::initializer_list<std::int64_t> args, HRESULT result) {
    audioState().log.add(method, id_, args, result);
    return result;
}

ULONG SoundBuffer::AddRef() {
    AudioLock lock(audioState().mutex);
    ++references_;
    logged("AddRef", {}, static_cast<HRESULT>(references_));
    return references_;
}

ULONG SoundBuffer::Release() {
    AudioLock lock(audioState().mutex);
    const ULONG left = --references_;
    logged("Release", {}, static_cast<HRESULT>(left));
    if (left == 0) delete this;
    return left;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status) {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("GetStatus", {0}, DSERR_INVALIDCALL);
    if (!status) return logged("GetStatus", {0}, DSERR_INVALIDPARAM);
    if (auto fault = audioState().faults.take(AudioCall::GetStatus, id_)) return logged("GetStatus", {0}, *fault);
    DWORD word = 0;
    if (voice_.playing) word |= DSBSTATUS_PLAYING | (voice_.looping ? DSBSTATUS_LOOPING : 0);
    if (lost_) word |= DSBSTATUS_BUFFERLOST;
    *status = word;
    return logged("GetStatus", {value(word)}, DS_OK);
}

HRESULT SoundBuffer::GetVolume(LPLONG volume) {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("GetVolume", {0}, DSERR_INVALIDCALL);
    if (!volume) return logged("GetVolume", {0}, DSERR_INVALIDPARAM);
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return logged("GetVolume", {0}, DSERR_CONTROLUNAVAIL);
    *volume = volume_;
    return logged("GetVolume", {volume_}, DS_OK);
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("SetVolume", {volume}, DSERR_INVALIDCALL);
    if (!(flags_ & DSBCAPS_CTRLVOLUME)) return logged("SetVolume", {volume}, DSERR_CONTROLUNAVAIL);
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return logged("SetVolume", {volume}, DSERR_INVALIDPARAM);
    volume_ = volume;
    applyGain();
    return logged("SetVolume", {volume}, DS_OK);
}

HRESULT SoundBuffer::SetPan(LONG pan) {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("SetPan", {pan}, DSERR_INVALIDCALL);
    if (!(flags_ & DSBCAPS_CTRLPAN)) return logged("SetPan", {pan}, DSERR_CONTROLUNAVAIL);
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return logged("SetPan", {pan}, DSERR_INVALIDPARAM);
    pan_ = pan;
    applyGain();
    return logged("SetPan", {pan}, DS_OK);
}

void SoundBuffer::applyGain() noexcept {
    const StereoGain target = gainFor(volume_, pan_);
    // A sounding voice glides to its new gain; a silent one simply takes it,
    // so playback always starts at the level that was set.
    if (voice_.playing)
        voice_.gain.rampTo(target, gainRampFrames(voice_.shape.framesPerSecond));
    else
        voice_.gain.jumpTo(target);
}

HRESULT SoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    AudioLock lock(audioState().mutex);
    const std::initializer_list<std::int64_t> args{value(reserved), value(priority), value(flags)};
    if (!device_) return logged("Play", args, DSERR_INVALIDCALL);
    if (auto fault = audioState().faults.take(AudioCall::Play, id_)) return logged("Play", args, *fault);
    // Priorities belong to buffers whose voice is deferred, which these are not.
    if (reserved != 0 || priority != 0) return logged("Play", args, DSERR_INVALIDPARAM);
    if (lost_) return logged("Play", args, DSERR_BUFFERLOST);
    const bool looping = (flags & DSBPLAY_LOOPING) != 0;
    if (!voice_.playing) {
        try {
            audioState().mixer.prepare(voice_);
        } catch (...) {
            return logged("Play", args, DSERR_OUTOFMEMORY);
        }
        voice_.gain.jumpTo(gainFor(volume_, pan_));
        voice_.playing = true;
    }
    // On a playing buffer Play only changes whether it loops.
    voice_.looping = looping;
    return logged("Play", args, DS_OK);
}

HRESULT SoundBuffer::Stop() {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("Stop", {}, DSERR_INVALIDCALL);
    voice_.playing = false;  // the position stays where it is
    voice_.gain.jumpTo(gainFor(volume_, pan_));
    return logged("Stop", {}, DS_OK);
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD newPosition) {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("SetCurrentPosition", {value(newPosition)}, DSERR_INVALIDCALL);
    if (newPosition >= size_) return logged("SetCurrentPosition", {value(newPosition)}, DSERR_INVALIDPARAM);
    // Positions fall on whole frames; the bytes of a trailing partial frame lead back to the start.
    const DWORD frame = newPosition / voice_.shape.bytesPerFrame();
    voice_.frame = frame < voice_.frames ? frame : 0;
    return logged("SetCurrentPosition", {value(newPosition)}, DS_OK);
}

bool SoundBuffer::allocate() noexcept {
    if (data_) return true;
    data_ = allocateZeroedSamples(size_);
    if (!data_) return false;
    if (voice_.shape.bytesPerSample == 1) fillWithSilence();  // zero is 16-bit silence already
    voice_.data = std::span<const std::uint8_t>(data_.get(), std::size_t{voice_.frames} * voice_.shape.bytesPerFrame());
    return true;
}

void SoundBuffer::fillWithSilence() noexcept {
    if (data_) std::memset(data_.get(), voice_.shape.bytesPerSample == 1 ? 0x80 : 0x00, size_);
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, LPDWORD audioBytes1, LPVOID* audioPtr2,
                          LPDWORD audioBytes2, DWORD flags) {
    AudioLock lock(audioState().mutex);
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    const auto result = [&](HRESULT code) {
        return logged("Lock", {value(offset), value(bytes), value(flags), value(firstBytes), value(secondBytes)}, code);
    };
    if (!device_) return result(DSERR_INVALIDCALL);
    if (!audioPtr1 || !audioBytes1) return result(DSERR_INVALIDPARAM);
    *audioPtr1 = nullptr;
    *audioBytes1 = 0;
    if (audioPtr2) *audioPtr2 = nullptr;
    if (audioBytes2) *audioBytes2 = 0;
    if (auto fault = audioState().faults.take(AudioCall::Lock, id_)) return result(*fault);
    if (lost_) return result(DSERR_BUFFERLOST);

    DWORD start = offset;
    DWORD length = bytes;
    if (flags & DSBLOCK_FROMWRITECURSOR) start = voice_.frame * voice_.shape.bytesPerFrame();
    if (flags & DSBLOCK_ENTIREBUFFER) length = size_;
    if (start >= size_ || length == 0 || length > size_) return result(DSERR_INVALIDPARAM);
    if (!allocate()) return result(DSERR_OUTOFMEMORY);

    // A region running past the end continues at the start, in the second pair.
    firstBytes = std::min(length, size_ - start);
    const DWORD rest = length - firstBytes;
    LockedRegions region{data_.get() + start, firstBytes, nullptr, 0};
    if (rest != 0 && audioPtr2 && audioBytes2) {
        region.second = data_.get();
        region.secondBytes = secondBytes = rest;
        *audioPtr2 = region.second;
        *audioBytes2 = rest;
    }
    *audioPtr1 = region.first;
    *audioBytes1 = firstBytes;
    locks_.push_back(region);
    return result(DS_OK);
}

std::int64_t SoundBuffer::offsetOf(const void* pointer) const noexcept {
    if (!pointer) return -1;
    const auto* p = static_cast<const std::uint8_t*>(pointer);
    if (!data_ || p < data_.get() || p >= data_.get() + size_) return -2;
    return p - data_.get();
}

HRESULT SoundBuffer::Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2, DWORD audioBytes2) {
    AudioLock lock(audioState().mutex);
    const auto result = [&](HRESULT code) {
        return logged("Unlock", {offsetOf(audioPtr1), value(audioBytes1), offsetOf(audioPtr2), value(audioBytes2)},
                      code);
    };
    if (!device_) return result(DSERR_INVALIDCALL);
    // Only what Lock handed out can be given back, and no more of it.
    const auto found = std::find_if(locks_.begin(), locks_.end(),
                                    [&](const LockedRegions& r) { return audioPtr1 && r.first == audioPtr1; });
    if (found == locks_.end() || audioBytes1 > found->firstBytes) return result(DSERR_INVALIDPARAM);
    if (audioPtr2 && (audioPtr2 != found->second || audioBytes2 > found->secondBytes))
        return result(DSERR_INVALIDPARAM);
    locks_.erase(found);
    return result(DS_OK);
}

HRESULT SoundBuffer::Restore() {
    AudioLock lock(audioState().mutex);
    if (!device_) return logged("Restore", {}, DSERR_INVALIDCALL);
    if (auto fault = audioState().faults.take(AudioCall::Restore, id_)) return logged("Restore", {}, *fault);
    if (!lost_) return logged("Restore", {}, DS_OK);
    if (failingRestores_ != 0) {
        if (failingRestores_ != kForever) --failingRestores_;
        return logged("Restore", {}, DSERR_BUFFERLOST);
    }
    // Memory given back after a loss holds nothing of what was written.
    lost_ = false;
    fillWithSilence();
    voice_.frame = 0;
    return logged("Restore", {}, DS_OK);
}

void SoundBuffer::lose(std::uint32_t failingRestores) noexcept {
    lost_ = true;
    failingRestores_ = failingRestores;
    voice_.playing = false;
}

void SoundBuffer::detach() noexcept {
    voice_.playing = false;
    audioState().mixer.detach(voice_);
    device_ = nullptr;
}

BufferInfo SoundBuffer::info() const {
    BufferInfo i;
    i.id = id_;
    i.flags = flags_;
    i.sizeBytes = size_;
    i.format = format_;
    i.probe = probe_;
    i.allocated = data_ != nullptr;
    i.playing = voice_.playing;
    i.looping = voice_.playing && voice_.looping;
    i.lost = lost_;
    i.detached = device_ == nullptr;
    i.positionBytes = voice_.frame * voice_.shape.bytesPerFrame();
    i.volume = volume_;
    i.pan = pan_;
    i.references = references_;
    return i;
}

std::vector<std::uint8_t> SoundBuffer::contents() const {
    if (!data_) return {};
    return {data_.get(), data_.get() + size_};
}

}  // namespace kob::platform
