#include "control/slot_command_cycle.h"

#include <cmath>
#include <cstdio>

#include "audio/slot_buffers.h"
#include "config/sound_slot.h"
#include "module/gauge_state.h"

namespace kob {

std::optional<std::int32_t> toControlValue(double value) {
    // Exactly the values whose truncation fits; NaN fails both tests. The
    // conversion itself truncates toward zero.
    if (!(value > -2147483649.0 && value < 2147483648.0)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

DecodedControl decodeControlValue(std::int32_t controlValue) {
    // div and mod on the magnitude only, so the command never depends on the
    // sign. 32 unsigned bits hold every magnitude, 2^31 included.
    const std::uint32_t magnitude =
        controlValue < 0 ? 0u - static_cast<std::uint32_t>(controlValue) : static_cast<std::uint32_t>(controlValue);
    const auto command = static_cast<std::int32_t>(magnitude % 100u);
    const auto pan = static_cast<std::int32_t>(magnitude / 100u);
    return {command, controlValue < 0 ? -pan : pan};
}

std::int32_t reportedLevelOf(std::int32_t attenuation) { return attenuation / 100 + 100; }

std::int32_t truncateLevel(double level) {
    if (std::isnan(level)) return 0;
    if (level <= -2147483648.0) return INT32_MIN;
    if (level >= 2147483647.0) return INT32_MAX;
    return static_cast<std::int32_t>(level);
}

namespace {

IDirectSoundBuffer* bufferOf(std::uint16_t slot) { return slotBuffers[slot]; }

bool playing(std::uint16_t slot) { return isSlotPlaying(slot) != 0; }

void writeSlotVariable(const SoundSlot& s, double value) { panelServices().setLvar(s.controlVarId, value); }

// The level the slot's buffer plays at, on the 0 to 100 scale. Without a
// buffer, or when the buffer cannot say, the slot's own level stands in.
std::int32_t currentReportedLevel(std::uint16_t slot) {
    LONG attenuation = 0;
    IDirectSoundBuffer* buffer = bufferOf(slot);
    if (!buffer || FAILED(buffer->GetVolume(&attenuation)))
        attenuation = truncateLevel(SlotTable[slot].volume);
    return reportedLevelOf(attenuation);
}

void setInitialLevel(std::uint16_t slot, std::int32_t command) {
    IDirectSoundBuffer* buffer = bufferOf(slot);
    if (!buffer) return;
    const std::int32_t simSound = gaugeState.simSoundState;
    const LONG configured = truncateLevel(SlotTable[slot].volume);
    if (command == PlayOnce || command == PlayLoop) {
        if (simSound == 1) buffer->SetVolume(configured);
        else if (simSound == 0) buffer->SetVolume(DSBVOLUME_MIN);
    } else if (command == ReportVolume) {
        buffer->SetVolume(simSound == 1 ? configured : DSBVOLUME_MIN);
    }
}

void loadOnFirstUse(std::uint16_t slot, std::int32_t command) {
    SoundSlot& s = SlotTable[slot];
    if (s.loaded != 0) return;
    gaugeState.wavCheckFile = fopenWindowsPath(s.wavPath, "r");
    if (!gaugeState.wavCheckFile) {
        s.started = 0;
        writeSlotVariable(s, gaugeState.errorFlag);
        return;
    }
    std::fclose(gaugeState.wavCheckFile);
    gaugeState.wavCheckFile = nullptr;
    s.loaded = 1;
    loadSlot(slot, s.wavPath);
    setInitialLevel(slot, command);
}

void start(std::uint16_t slot, std::int32_t pan, int looping) {
    SoundSlot& s = SlotTable[slot];
    if (IDirectSoundBuffer* buffer = bufferOf(slot)) buffer->SetPan(pan);
    playSlot(slot, looping);
    s.started = 1;
    s.playMode = looping ? 2 : 1;
    panelServices().setLvar(gaugeState.volumePlayedId, currentReportedLevel(slot));
}

void stopSound(std::uint16_t slot) {
    SoundSlot& s = SlotTable[slot];
    if (s.loaded != 1) return;
    if (playing(slot)) {
        if (IDirectSoundBuffer* buffer = bufferOf(slot)) {
            buffer->Stop();
            buffer->SetCurrentPosition(0);
        }
    }
    s.started = 0;
    s.playMode = 0;
}

void playOnce(std::uint16_t slot, std::int32_t pan) {
    SoundSlot& s = SlotTable[slot];
    // Each rule makes its own playing test: a sound may end between them.
    if (!playing(slot) && s.started == 1) {
        s.started = 0;
        s.playMode = 0;
        writeSlotVariable(s, 0.0);
    } else if (!playing(slot) && s.started == 0) {
        start(slot, pan, 0);
    } else if (playing(slot) && s.playMode == 2) {
        writeSlotVariable(s, 2.0);
    }
}

void playLoop(std::uint16_t slot, std::int32_t pan) {
    if (!playing(slot)) start(slot, pan, 1);
}

void applyVolume(std::uint16_t slot) {
    SoundSlot& s = SlotTable[slot];
    PanelServices& host = panelServices();
    const double x = host.getLvar(gaugeState.volumeVarId);
    if (std::isnan(x) || x < 0.0) return;  // the command waits for a level
    const double y = ((x < 100.0 ? x : 100.0) - 100.0) * 100.0;
    if (gaugeState.simSoundState == 1)
        if (IDirectSoundBuffer* buffer = bufferOf(slot)) buffer->SetVolume(truncateLevel(y));
    s.volume = static_cast<float>(y);
    writeSlotVariable(s, s.playMode);
    if (gaugeState.resetVolumeVar != 0) host.setLvar(gaugeState.volumeVarId, -1.0);
}

void reportVolume(std::uint16_t slot) {
    SoundSlot& s = SlotTable[slot];
    panelServices().setLvar(gaugeState.volumeVarId, currentReportedLevel(slot));
    writeSlotVariable(s, s.playMode);
}

void visitSlot(PanelServices& host, std::uint16_t slot) {
    SoundSlot& s = SlotTable[slot];
    const double value = host.getLvar(s.controlVarId);
    // Most variables hold 0 most of the time: StopSound at the centre, which
    // on a slot that is not loaded only records the command.
    if (value == 0.0 && s.loaded != 1) {
        s.command = StopSound;
        return;
    }
    const auto controlValue = toControlValue(value);
    if (!controlValue) return;  // not a number, or out of range: no command
    const DecodedControl decoded = decodeControlValue(*controlValue);
    s.command = decoded.command;
    if (decoded.command == StopSound) {
        stopSound(slot);
        return;
    }
    if (decoded.command > ReportVolume) return;

    loadOnFirstUse(slot, decoded.command);
    if (s.loaded != 1) return;
    switch (decoded.command) {
        case PlayOnce: playOnce(slot, decoded.pan); break;
        case PlayLoop: playLoop(slot, decoded.pan); break;
        case ApplyVolume: applyVolume(slot); break;
        case ReportVolume: reportVolume(slot); break;
        default: break;
    }
}

}  // namespace

void runSlotCommandCycle() {
    if (gaugeState.configured != 1) return;
    // The table is looked up once per update, not once per slot: it is the cycle's busiest path.
    PanelServices& host = panelServices();
    for (std::int32_t slot = 0; slot < gaugeState.slotCount; ++slot) visitSlot(host, static_cast<std::uint16_t>(slot));
}

}  // namespace kob
