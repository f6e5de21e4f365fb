#include "reference_control.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kob::test {

namespace {

const std::string volumePlayedVar = "kob_volume_played";
// The module gives up on a buffer that stays lost after this many passes of
// its restore loop (two Restore calls each).
constexpr int restorePasses = 100;

}  // namespace

ReferenceControl::ReferenceControl(Settings settings, std::vector<Slot> slots, ReferenceMixer& mixer)
    : settings_(std::move(settings)), slots_(std::move(slots)), mixer_(mixer) {}

LONG ReferenceControl::truncated(double level) {
    // Toward zero, held within 32 bits.
    if (std::isnan(level)) return 0;
    if (level <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    if (level >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    return static_cast<LONG>(std::trunc(level));
}

bool ReferenceControl::isPlaying(std::size_t i) {
    if (slots_[i].buffer == 0) return true;
    return (mixer_.getStatus(slots_[i].buffer).value_or(0) & DSBSTATUS_PLAYING) != 0;
}

std::int32_t ReferenceControl::currentLevel(std::size_t i) {
    const Slot& s = slots_[i];
    // Without a buffer the slot's own level is reported.
    const LONG attenuation = s.buffer ? mixer_.getVolume(s.buffer) : truncated(s.volume);
    return reportedLevel(attenuation);
}

void ReferenceControl::update(const Simulator& simulator) {
    for (std::size_t i = 0; i < slots_.size(); ++i) visit(i);
    stopAll();
    readSimulator(simulator);
    updateMuting(simulator);
}

void ReferenceControl::visit(std::size_t i) {
    Slot& s = slots_[i];
    const double value = var(s.variable);
    if (std::isnan(value)) return;
    const double whole = std::trunc(value);
    if (whole < -2147483648.0 || whole > 2147483647.0) return;
    const auto v = static_cast<std::int64_t>(whole);
    const std::int64_t magnitude = v < 0 ? -v : v;
    const auto command = static_cast<std::int32_t>(magnitude % 100);
    const auto pan = static_cast<std::int32_t>(v < 0 ? -(magnitude / 100) : magnitude / 100);
    s.command = command;
    if (command > 4) return;
    if (command == 0) {
        stopSound(i);
        return;
    }
    if (s.loaded == 0) firstUse(i, command);
    if (s.loaded != 1) return;
    switch (command) {
        case 1: playOnce(i, pan); break;
        case 2: playLoop(i, pan); break;
        case 3: applyVolume(i); break;
        case 4: reportVolume(i); break;
        default: break;
    }
}

void ReferenceControl::firstUse(std::size_t i, std::int32_t command) {
    Slot& s = slots_[i];
    if (s.file == WavFile::Missing) {
        s.started = 0;
        var(s.variable) = settings_.errorFlag;
        return;
    }
    s.loaded = 1;
    loadSlot(i);
    if (!s.buffer) return;
    const LONG level = truncated(s.volume);
    if (command == 1 || command == 2) {
        if (simSoundState_ == 1) mixer_.setVolume(s.buffer, level);
        else if (simSoundState_ == 0) mixer_.setVolume(s.buffer, DSBVOLUME_MIN);
    } else if (command == 4) {
        mixer_.setVolume(s.buffer, simSoundState_ == 1 ? level : DSBVOLUME_MIN);
    }
}

void ReferenceControl::loadSlot(std::size_t i) {
    Slot& s = slots_[i];
    if (s.file != WavFile::Valid) return;  // the wave reader refuses it: no buffer
    s.buffer = mixer_.create(s.dataBytes);
    fill(i);
}

bool ReferenceControl::fill(std::size_t i) {
    const Slot& s = slots_[i];
    // The whole data chunk is read and the file rewound before the Lock.
    if (FAILED(mixer_.lock(s.buffer, s.dataBytes))) return false;
    mixer_.unlock(s.buffer, s.dataBytes);
    return true;
}

HRESULT ReferenceControl::playSlot(std::size_t i, bool looping) {
    const platform::BufferId b = slots_[i].buffer;
    if (!b) return E_FAIL;
    // A lost buffer is restored and refilled before it plays; a status that
    // cannot be read, a restore that never succeeds or a failed refill stop
    // the start.
    const auto status = mixer_.getStatus(b);
    if (!status) return E_FAIL;
    if (*status & DSBSTATUS_BUFFERLOST) {
        bool restored = false;
        for (int pass = 0; pass < restorePasses && !restored; ++pass) {
            mixer_.restore(b);
            restored = mixer_.restore(b) == DS_OK;
        }
        if (!restored || !fill(i)) return E_FAIL;
    }
    return mixer_.play(b, looping ? DSBPLAY_LOOPING : 0);
}

void ReferenceControl::start(std::size_t i, std::int32_t pan, bool looping) {
    Slot& s = slots_[i];
    if (s.buffer) mixer_.setPan(s.buffer, pan);
    playSlot(i, looping);
    s.started = 1;
    s.playMode = looping ? 2 : 1;
    var(volumePlayedVar) = currentLevel(i);
}

void ReferenceControl::stopSound(std::size_t i) {
    Slot& s = slots_[i];
    if (s.loaded != 1) return;
    if (isPlaying(i) && s.buffer) {
        mixer_.stop(s.buffer);
        mixer_.setCurrentPosition(s.buffer, 0);
    }
    s.started = 0;
    s.playMode = 0;
}

void ReferenceControl::playOnce(std::size_t i, std::int32_t pan) {
    Slot& s = slots_[i];
    if (!isPlaying(i) && s.started == 1) {
        s.started = 0;
        s.playMode = 0;
        var(s.variable) = 0.0;
    } else if (!isPlaying(i) && s.started == 0) {
        start(i, pan, false);
    } else if (isPlaying(i) && s.playMode == 2) {
        var(s.variable) = 2.0;
    }
}

void ReferenceControl::playLoop(std::size_t i, std::int32_t pan) {
    if (!isPlaying(i)) start(i, pan, true);
}

void ReferenceControl::applyVolume(std::size_t i) {
    Slot& s = slots_[i];
    const double x = var(settings_.volumeVar);
    if (std::isnan(x) || x < 0.0) return;
    const double y = (std::min(x, 100.0) - 100.0) * 100.0;
    if (simSoundState_ == 1 && s.buffer) mixer_.setVolume(s.buffer, truncated(y));
    s.volume = static_cast<float>(y);
    var(s.variable) = s.playMode;
    if (settings_.resetVolumeVar != 0) var(settings_.volumeVar) = -1.0;
}

void ReferenceControl::reportVolume(std::size_t i) {
    Slot& s = slots_[i];
    var(settings_.volumeVar) = currentLevel(i);
    var(s.variable) = s.playMode;
}

void ReferenceControl::stopAll() {
    double& request = var(settings_.stopVar);
    if (!(request > 0.0)) return;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Slot& s = slots_[i];
        if (s.loaded != 1 || !isPlaying(i)) continue;
        if (s.buffer) {
            mixer_.stop(s.buffer);
            mixer_.setCurrentPosition(s.buffer, 0);
        }
        s.started = 0;
        var(s.variable) = 0.0;
    }
    var(settings_.stopVar) = 0.0;
}

void ReferenceControl::readSimulator(const Simulator& simulator) {
    var("time_of_day") = simulator.timeOfDay;
    var("kob_sound_indicator") = simulator.soundState & 0xFF;
    simSoundState_ = simulator.soundState;
}

void ReferenceControl::updateMuting(const Simulator& simulator) {
    bool silence = simSoundState_ == 0;
    if (simulator.probe == lastProbe_) silence = true;
    lastProbe_ = simulator.probe;
    if (muted_ == 0 && silence) {
        muted_ = 1;
        for (const Slot& s : slots_)
            if (s.loaded == 1 && s.buffer) mixer_.setVolume(s.buffer, DSBVOLUME_MIN);
    } else if (muted_ == 1 && !silence) {
        muted_ = 0;
        for (const Slot& s : slots_)
            if (s.loaded == 1 && s.buffer) mixer_.setVolume(s.buffer, truncated(s.volume));
    }
}

void ReferenceControl::shutdown() {
    for (Slot& s : slots_) {
        if (s.loaded != 1) continue;
        if (s.buffer) {
            if (mixer_.getStatus(s.buffer).value_or(0) & DSBSTATUS_PLAYING) mixer_.stop(s.buffer);
            mixer_.release(s.buffer);
            s.buffer = 0;
        }
        s.loaded = 0;
        s.started = 0;
        s.playMode = 0;
    }
    mixer_.releaseDevice();
}

}  // namespace kob::test
