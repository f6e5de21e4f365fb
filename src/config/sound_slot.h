// The slot table: one record per configured sound, then the stop slot.
#pragma once

#include <cstdint>

#include "module/panel_services.h"

namespace kob {

constexpr std::int32_t maxSlotCount = 100;
constexpr std::size_t slotNameSize = 132;

struct SoundSlot {
    std::int32_t loaded;
    std::int32_t started;
    std::int32_t command;
    std::int32_t playMode;   // 0 none, 1 played once, 2 looping
    float volume;            // hundredths of a decibel; 0 full, -10000 silence
    LvarId controlVarId;
    char wavPath[slotNameSize];
    char controlVarName[slotNameSize];
};

// Records 0 to slotCount - 1 are the sound slots; record slotCount is the stop slot.
extern SoundSlot SlotTable[maxSlotCount + 1];

SoundSlot& stopSlot();

}  // namespace kob
