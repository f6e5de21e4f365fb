// The steps that follow the slot cycle in every update: stop all, the
// simulator's values, and muting while the sound is off or the simulation paused.
#pragma once

namespace kob {

constexpr unsigned soundStateOffset = 2848;
constexpr unsigned timeOfDayOffset = 4446;

void stopAllSounds();
void readSimModule();
void updateMuting();

}  // namespace kob
