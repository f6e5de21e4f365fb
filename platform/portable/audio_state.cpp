// The one instance of the shared audio state.
#include "audio_state.h"

namespace kob::platform {

AudioState& audioState() {
    static AudioState instance;
    return instance;
}

}  // namespace kob::platform
