// The audio control interface for hosts and tests.
#include "kob_platform/audio_control.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "audio_state.h"
#include "dsound_buffer.h"
#include "dsound_device.h"

namespace kob::platform {
namespace {

SoundBuffer* findLive(BufferId id) {
    for (SoundBuffer* buffer : audioState().buffers)
        if (buffer->id() == id) return buffer;
    return nullptr;
}

SoundBuffer* findLive(const IDirectSoundBuffer* pointer) {
    for (SoundBuffer* buffer : audioState().buffers)
        if (buffer == pointer) return buffer;
    return nullptr;
}

}  // namespace

void resetAudio() {
    AudioState& audio = audioState();
    AudioLock lock(audio.mutex);
    // What callers still hold stays valid until their last Release, but no
    // longer belongs to anything.
    for (SoundBuffer* buffer : audio.buffers) buffer->detach();
    for (SoundDevice* device : audio.devices) device->detach();
    audio.buffers.clear();
    audio.devices.clear();
    audio.mixer.clear();
    audio.mixer.setDeviceRate(kDefaultDeviceRate);
    audio.nextBufferId = 1;
    audio.faults.clear();
    audio.log.clear();
    audio.log.setEnabled(true);
}

void setDeviceRate(std::uint32_t framesPerSecond) {
    if (framesPerSecond < kMinDeviceRate || framesPerSecond > kMaxDeviceRate)
        throw std::invalid_argument("device rate " + std::to_string(framesPerSecond) + " Hz is outside " +
                                    std::to_string(kMinDeviceRate) + ".." + std::to_string(kMaxDeviceRate));
    AudioLock lock(audioState().mutex);
    audioState().mixer.setDeviceRate(framesPerSecond);
}

std::uint32_t deviceRate() {
    AudioLock lock(audioState().mutex);
    return audioState().mixer.deviceRate();
}

void render(std::span<float> interleavedStereo) {
    if (interleavedStereo.size() % 2 != 0)
        throw std::invalid_argument("render needs whole stereo frames, got " +
                                    std::to_string(interleavedStereo.size()) + " samples");
    AudioLock lock(audioState().mutex);
    audioState().mixer.render(interleavedStereo);
}

std::vector<float> render(std::size_t frames) {
    std::vector<float> out(frames * 2);
    render(std::span<float>(out));
    return out;
}

std::vector<BufferInfo> liveBuffers() {
    AudioLock lock(audioState().mutex);
    std::vector<BufferInfo> infos;
    for (const SoundBuffer* buffer : audioState().buffers) infos.push_back(buffer->info());
    return infos;
}

std::size_t liveBufferCount() {
    AudioLock lock(audioState().mutex);
    return audioState().buffers.size();
}

std::optional<BufferInfo> bufferInfo(BufferId id) {
    AudioLock lock(audioState().mutex);
    if (const SoundBuffer* buffer = findLive(id)) return buffer->info();
    return std::nullopt;
}

std::optional<BufferId> bufferIdOf(const IDirectSoundBuffer* pointer) {
    AudioLock lock(audioState().mutex);
    if (const SoundBuffer* buffer = findLive(pointer)) return buffer->id();
    return std::nullopt;
}

std::vector<std::uint8_t> bufferContents(BufferId id) {
    AudioLock lock(audioState().mutex);
    if (const SoundBuffer* buffer = findLive(id)) return buffer->contents();
    return {};
}

std::size_t liveDeviceCount() {
    AudioLock lock(audioState().mutex);
    return audioState().devices.size();
}

void failAudioCalls(AudioCall call, HRESULT code, std::uint32_t count, BufferId onlyBuffer) {
    AudioLock lock(audioState().mutex);
    audioState().faults.add(call, code, count, onlyBuffer);
}

void clearAudioFaults() {
    AudioLock lock(audioState().mutex);
    audioState().faults.clear();
}

bool loseBuffer(BufferId id, std::uint32_t failingRestores) {
    AudioLock lock(audioState().mutex);
    SoundBuffer* buffer = findLive(id);
    if (buffer) buffer->lose(failingRestores);
    return buffer != nullptr;
}

bool loseBuffer(const IDirectSoundBuffer* pointer, std::uint32_t failingRestores) {
    AudioLock lock(audioState().mutex);
    SoundBuffer* buffer = findLive(pointer);
    if (buffer) buffer->lose(failingRestores);
    return buffer != nullptr;
}

void loseAllBuffers(std::uint32_t failingRestores) {
    AudioLock lock(audioState().mutex);
    for (SoundBuffer* buffer : audioState().buffers) buffer->lose(failingRestores);
}

std::vector<AudioCallRecord> audioCallLog() {
    AudioLock lock(audioState().mutex);
    return audioState().log.records();
}

void clearAudioCallLog() {
    AudioLock lock(audioState().mutex);
    audioState().log.clear();
}

void setAudioCallLogging(bool enabled) {
    AudioLock lock(audioState().mutex);
    audioState().log.setEnabled(enabled);
}

}  // namespace kob::platform
