// The state every part of the portable DirectSound shares: one lock, the
// mixer, the live devices and buffers, the fault table and the call log.
//
// Every entry point (a device or buffer method, a control function) takes the
// lock once; nothing called under it takes it again.
#pragma once

#include <mutex>
#include <vector>

#include "audio_call_log.h"
#include "audio_faults.h"
#include "mixer.h"

namespace kob::platform {

class SoundBuffer;
class SoundDevice;

struct AudioState {
    std::mutex mutex;
    Mixer mixer{kDefaultDeviceRate};
    std::vector<SoundDevice*> devices;  // live, in creation order
    std::vector<SoundBuffer*> buffers;  // live, in creation order
    BufferId nextBufferId = 1;
    AudioFaults faults;
    AudioCallLog log;
};

AudioState& audioState();

using AudioLock = std::lock_guard<std::mutex>;

}  // namespace kob::platform
