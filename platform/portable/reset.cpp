// One reset for every part of the platform, so each test starts clean.
#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"

namespace kob::platform {

void resetSystem();
void resetMmio();

void reset() {
    resetSystem();
    resetMmio();
    resetAudio();
}

}  // namespace kob::platform
