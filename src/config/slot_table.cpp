#include "config/sound_slot.h"
#include "module/gauge_state.h"

namespace kob {

constinit SoundSlot SlotTable[maxSlotCount + 1] = {};

SoundSlot& stopSlot() { return SlotTable[gaugeState.slotCount]; }

}  // namespace kob
