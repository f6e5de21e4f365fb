// The fault table.
#include "audio_faults.h"

#include <algorithm>

namespace kob::platform {

void AudioFaults::add(AudioCall call, HRESULT code, std::uint32_t count, BufferId onlyBuffer) {
    if (count == 0) return;
    faults_.push_back({call, code, count, onlyBuffer});
}

bool AudioFaults::matches(const Fault& fault, AudioCall call, BufferId buffer, bool probe) noexcept {
    if (fault.onlyBuffer != kAnyBuffer && fault.onlyBuffer != buffer) return false;
    if (fault.call == call) return true;
    if (call != AudioCall::CreateSoundBuffer) return false;
    return probe ? fault.call == AudioCall::CreateProbeBuffer : fault.call == AudioCall::CreateOtherBuffer;
}

std::optional<HRESULT> AudioFaults::take(AudioCall call, BufferId buffer, bool probe) {
    const auto found = std::find_if(faults_.begin(), faults_.end(),
                                    [&](const Fault& f) { return matches(f, call, buffer, probe); });
    if (found == faults_.end()) return std::nullopt;
    const HRESULT code = found->code;
    if (found->remaining != kForever && --found->remaining == 0) faults_.erase(found);
    return code;
}

}  // namespace kob::platform
