#include "control/global_sound_controls.h"

#include <cstring>

#include "audio/slot_buffers.h"
#include "config/sound_slot.h"
#include "control/slot_command_cycle.h"
#include "module/gauge_state.h"

namespace kob {
namespace {

// The simulator module's "Linkage" export, from which its values sit at fixed offsets.
const unsigned char* simulatorLinkage() {
    return reinterpret_cast<const unsigned char*>(GetProcAddress(gaugeState.globalModule, "Linkage"));
}

void setLoadedSlotLevels(bool silence) {
    for (std::int32_t i = 0; i < gaugeState.slotCount; ++i) {
        if (SlotTable[i].loaded != 1 || !slotBuffers[i]) continue;
        slotBuffers[i]->SetVolume(silence ? DSBVOLUME_MIN : truncateLevel(SlotTable[i].volume));
    }
}

}  // namespace

void stopAllSounds() {
    PanelServices& host = panelServices();
    SoundSlot& stop = stopSlot();
    stop.controlVarId = host.findLvar(stop.controlVarName);
    const double request = host.getLvar(stop.controlVarId);
    if (!(request > 0.0)) return;
    for (std::int32_t i = 0; i < gaugeState.slotCount; ++i) {
        SoundSlot& s = SlotTable[i];
        const auto slot = static_cast<std::uint16_t>(i);
        if (s.loaded != 1 || isSlotPlaying(slot) == 0) continue;
        if (IDirectSoundBuffer* buffer = slotBuffers[slot]) {
            buffer->Stop();
            buffer->SetCurrentPosition(0);
        }
        s.started = 0;
        host.setLvar(s.controlVarId, 0.0);
    }
    host.setLvar(stop.controlVarId, 0.0);
}

void readSimModule() {
    PanelServices& host = panelServices();
    const unsigned char* soundState = nullptr;
    const unsigned char* timeOfDay = nullptr;
    if (gaugeState.globalModule) {
        if (const unsigned char* linkage = simulatorLinkage()) soundState = linkage + soundStateOffset;
        if (const unsigned char* linkage = simulatorLinkage()) timeOfDay = linkage + timeOfDayOffset;
    } else {
        // A handle found now is used from the next update on.
        gaugeState.globalModule = GetModuleHandleA("GLOBAL.DLL");
    }
    if (timeOfDay) {
        gaugeState.timeOfDayId = host.findLvar("time_of_day");
        host.setLvar(gaugeState.timeOfDayId, static_cast<double>(*timeOfDay));
    }
    if (soundState) {
        std::int32_t value = 0;
        std::memcpy(&value, soundState, sizeof value);
        gaugeState.soundIndicatorId = host.findLvar("kob_sound_indicator");
        host.setLvar(gaugeState.soundIndicatorId, static_cast<double>(value & 0xFF));
        gaugeState.simSoundState = value;
    }
}

void updateMuting() {
    gaugeState.silenceRequested = gaugeState.simSoundState == 0 ? 1 : 0;
    panelServices().readSimVariable(&gaugeState.pauseProbe);
    // A probe that has not moved since the last update means a paused simulation.
    if (gaugeState.pauseProbe.value == gaugeState.lastProbeValue) gaugeState.silenceRequested = 1;
    gaugeState.lastProbeValue = gaugeState.pauseProbe.value;

    if (gaugeState.muted == 0 && gaugeState.silenceRequested == 1) {
        gaugeState.muted = 1;
        setLoadedSlotLevels(true);
    } else if (gaugeState.muted == 1 && gaugeState.silenceRequested == 0) {
        gaugeState.muted = 0;
        setLoadedSlotLevels(false);
    }
}

}  // namespace kob
