#include "reference_mixer.h"

#include <algorithm>

namespace kob::test {

std::string ExpectedCall::text() const {
    std::string s = method + "(buffer " + std::to_string(buffer);
    for (const auto a : args) s += ", " + std::to_string(a);
    return s + ")";
}

ExpectedCall observed(const platform::AudioCallRecord& record) {
    return {std::string(record.method), record.buffer, record.args};
}

platform::BufferId ReferenceMixer::create(std::uint32_t bytes) {
    const platform::BufferId id = nextId_++;
    buffers_[id] = Buffer{.frames = bytes / 2};
    // A slot buffer: volume and pan control, static; PCM mono 16-bit at the device rate.
    log("CreateSoundBuffer", id, {0xC2, bytes, 1, 1, 44100, 16});
    return id;
}

HRESULT ReferenceMixer::takeFault(platform::AudioCall call, platform::BufferId id) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->call != call || it->buffer != id) continue;
        const HRESULT code = it->code;
        if (--it->remaining == 0) faults_.erase(it);
        return code;
    }
    return S_OK;
}

void ReferenceMixer::log(const char* method, platform::BufferId id, std::vector<std::int64_t> args) {
    calls_.push_back({method, id, std::move(args)});
    ++counts_[calls_.back().method];
}

std::optional<DWORD> ReferenceMixer::getStatus(platform::BufferId id) {
    if (FAILED(takeFault(platform::AudioCall::GetStatus, id))) {
        log("GetStatus", id, {0});
        return std::nullopt;
    }
    const Buffer& b = buffers_.at(id);
    const DWORD status = (b.playing ? DSBSTATUS_PLAYING : 0) | (b.looping && b.playing ? DSBSTATUS_LOOPING : 0) |
                         (b.lost ? DSBSTATUS_BUFFERLOST : 0);
    log("GetStatus", id, {status});
    return status;
}

HRESULT ReferenceMixer::play(platform::BufferId id, DWORD flags) {
    log("Play", id, {0, 0, flags});
    if (const HRESULT fault = takeFault(platform::AudioCall::Play, id); FAILED(fault)) return fault;
    Buffer& b = buffers_.at(id);
    if (b.lost) return DSERR_BUFFERLOST;
    // From the current position; on a playing buffer only the looping changes.
    b.playing = true;
    b.looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

void ReferenceMixer::stop(platform::BufferId id) {
    log("Stop", id, {});
    buffers_.at(id).playing = false;  // the position stays
}

void ReferenceMixer::setCurrentPosition(platform::BufferId id, DWORD position) {
    log("SetCurrentPosition", id, {position});
    buffers_.at(id).position = position / 2;
}

void ReferenceMixer::setVolume(platform::BufferId id, LONG volume) {
    log("SetVolume", id, {volume});
    if (volume >= DSBVOLUME_MIN && volume <= DSBVOLUME_MAX) buffers_.at(id).volume = volume;
}

void ReferenceMixer::setPan(platform::BufferId id, LONG pan) { log("SetPan", id, {pan}); }

LONG ReferenceMixer::getVolume(platform::BufferId id) {
    const LONG volume = buffers_.at(id).volume;
    log("GetVolume", id, {volume});
    return volume;
}

HRESULT ReferenceMixer::restore(platform::BufferId id) {
    log("Restore", id, {});
    if (const HRESULT fault = takeFault(platform::AudioCall::Restore, id); FAILED(fault)) return fault;
    Buffer& b = buffers_.at(id);
    if (!b.lost) return DS_OK;
    if (b.failingRestores > 0) {
        --b.failingRestores;
        return DSERR_BUFFERLOST;
    }
    b.lost = false;
    b.position = 0;
    return DS_OK;
}

HRESULT ReferenceMixer::lock(platform::BufferId id, DWORD bytes) {
    HRESULT result = takeFault(platform::AudioCall::Lock, id);
    if (SUCCEEDED(result) && buffers_.at(id).lost) result = DSERR_BUFFERLOST;
    // The whole buffer from offset 0 in the first region; nothing in the second.
    if (FAILED(result)) log("Lock", id, {0, bytes, 0, 0, 0});
    else log("Lock", id, {0, bytes, 0, bytes, 0});
    return result;
}

void ReferenceMixer::unlock(platform::BufferId id, DWORD bytes) { log("Unlock", id, {0, bytes, -1, 0}); }

void ReferenceMixer::release(platform::BufferId id) {
    log("Release", id, {});
    buffers_.erase(id);
}

void ReferenceMixer::releaseDevice() { log("Release", 0, {}); }

void ReferenceMixer::render(std::uint32_t frames) {
    for (auto& [id, b] : buffers_) {
        if (!b.playing) continue;
        const std::uint32_t reached = b.position + frames;
        if (b.looping) {
            b.position = reached % b.frames;
        } else if (reached >= b.frames) {
            // A played-once buffer stops after its last frame, rewound.
            b.playing = false;
            b.position = 0;
        } else {
            b.position = reached;
        }
    }
}

void ReferenceMixer::lose(platform::BufferId id, std::uint32_t failingRestores) {
    Buffer& b = buffers_.at(id);
    b.lost = true;
    b.playing = false;
    b.failingRestores = failingRestores;
}

void ReferenceMixer::addFault(platform::AudioCall call, HRESULT code, std::uint32_t count, platform::BufferId id) {
    faults_.push_back({call, code, count, id});
}

std::vector<ExpectedCall> ReferenceMixer::takeCalls() {
    std::vector<ExpectedCall> taken;
    taken.swap(calls_);
    return taken;
}

}  // namespace kob::test
