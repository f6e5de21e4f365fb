// The sound gauge's callback: each stage of the gauge's life, by service id.
#include "config/read_configuration.h"
#include "config/sound_slot.h"
#include "module/gauge_state.h"
#include "module/linkage.h"
#include "module/service_id.h"

namespace kob {

constinit GaugeState gaugeState;

namespace {

void setup() { gaugeState.globalModule = GetModuleHandleA("GLOBAL.DLL"); }

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
}

void shutdown() {
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
