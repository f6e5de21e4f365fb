// The one module-wide record of flags, settings, variable identifiers and
// simulator state. Every gauge and every instance shares it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "kob_platform/win32.h"
#include "module/panel_services.h"

namespace kob {

constexpr std::size_t configPathSize = 130;
constexpr std::int32_t pauseProbeVariable = 604;

struct GaugeState {
    std::int32_t configured = 0;
    char iniPath[configPathSize] = {};
    std::int32_t slotCount = 100;
    std::int32_t errorFlag = 0;
    std::int32_t resetVolumeVar = 0;
    char volumeVarName[configPathSize] = {};
    LvarId volumeVarId = 0;
    LvarId volumePlayedId = 0;
    LvarId soundIndicatorId = 0;
    HMODULE globalModule = nullptr;
    std::int32_t displayedSlot = 0;
    FILE* wavCheckFile = nullptr;
    std::int32_t simSoundState = -1;
    std::int32_t muted = 0;
    std::int32_t silenceRequested = 0;
    double lastProbeValue = 0.0;
    SimVariableRecord pauseProbe = {pauseProbeVariable, {}, 0.0, {}};
    LvarId timeOfDayId = 0;
};

extern GaugeState gaugeState;

// The host's service table, as the host wrote it into ImportTable.
PanelServices& panelServices();

}  // namespace kob
