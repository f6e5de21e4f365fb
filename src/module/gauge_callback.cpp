// The sound gauge's callback: each stage of the gauge's life, by service id.
#include "audio/slot_buffers.h"
#include "config/read_configuration.h"
#include "config/sound_slot.h"
#include "control/global_sound_controls.h"
#include "control/slot_command_cycle.h"
#include "module/gauge_state.h"
#include "module/linkage.h"
#include "module/service_id.h"

namespace kob {

constinit GaugeState gaugeState;

namespace {

void setup() {
    createAudioDevice();
    gaugeState.globalModule = GetModuleHandleA("GLOBAL.DLL");
}

void configure(const GaugeHeader* header) {
    if (gaugeState.configured != 0) return;
    gaugeState.configured = 1;
    const char* parameter = header && header->parameterString ? header->parameterString : "";
    readConfiguration(parameter);
}

void registerVariables() {
    PanelServices& host = panelServices();
    gaugeState.volumePlayedId = host.findLvar("kob_volume_played");
    gaugeState.volumeVarId = host.findLvar(gaugeState.volumeVarName);
    host.setLvar(gaugeState.volumeVarId, -1.0);
    for (std::int32_t slot = 0; slot < gaugeState.slotCount; ++slot)
        SlotTable[slot].controlVarId = host.findLvar(SlotTable[slot].controlVarName);
}

void update() {
    if (gaugeState.configured != 1) return;
    runSlotCommandCycle();
    stopAllSounds();
    readSimModule();
    updateMuting();
}

// Stops and releases every loaded slot, then the device. A released slot is
// left as never loaded, so that a later update (another instance, a reloaded
// panel) loads it again from the next device instead of reaching the
// released buffer.
void shutdown() {
    for (std::int32_t i = 0; i < gaugeState.slotCount; ++i) {
        SoundSlot& s = SlotTable[i];
        const auto slot = static_cast<std::uint16_t>(i);
        if (s.loaded != 1) continue;
        if (IDirectSoundBuffer* buffer = slotBuffers[slot]) {
            DWORD status = 0;
            buffer->GetStatus(&status);
            if ((status & DSBSTATUS_PLAYING) != 0) buffer->Stop();
        }
        releaseSlot(slot);
        s.loaded = 0;
        s.started = 0;
        s.playMode = 0;
    }
    releaseAudioDevice();
    if (gaugeState.wavCheckFile) {
        std::fclose(gaugeState.wavCheckFile);
        gaugeState.wavCheckFile = nullptr;
    }
}

}  // namespace

void KOB_STDCALL gaugeCallback(GaugeHeader* header, std::int32_t serviceId, std::uint32_t /*extra*/) {
    switch (serviceId) {
        case ServiceId::setup: setup(); break;
        case ServiceId::configure: configure(header); break;
        case ServiceId::registerVariables: registerVariables(); break;
        case ServiceId::update: update(); break;
        case ServiceId::shutdown: shutdown(); break;
        default: break;
    }
}

}  // namespace kob
