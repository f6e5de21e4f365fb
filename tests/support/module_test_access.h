// What a test may reach inside a freshly loaded module besides its exports.
// Only the test build of the module carries this; the product exports its two
// records and nothing else.
#pragma once

#include "config/sound_slot.h"
#include "module/gauge_state.h"

namespace kob::test {

struct ModuleTestAccess {
    GaugeState* gaugeState;
    SoundSlot* slotTable;
    void (*readConfiguration)(const char* parameter);
};

}  // namespace kob::test

extern "C" const kob::test::ModuleTestAccess* kobModuleTestAccess();
