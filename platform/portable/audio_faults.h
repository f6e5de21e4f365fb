// Injected failures: which calls fail, how many more times, with what code.
#pragma once

#include <optional>
#include <vector>

#include "kob_platform/audio_control.h"

namespace kob::platform {

class AudioFaults {
public:
    void add(AudioCall call, HRESULT code, std::uint32_t count, BufferId onlyBuffer);
    void clear() noexcept { faults_.clear(); }

    // The code a call must fail with, if a fault matches it; consumes one use.
    // `probe` tells CreateSoundBuffer calls apart; `buffer` is the buffer
    // called (kAnyBuffer for device calls).
    std::optional<HRESULT> take(AudioCall call, BufferId buffer = kAnyBuffer, bool probe = false);

private:
    struct Fault {
        AudioCall call;
        HRESULT code;
        std::uint32_t remaining;  // kForever: never runs out
        BufferId onlyBuffer;
    };
    static bool matches(const Fault& fault, AudioCall call, BufferId buffer, bool probe) noexcept;

    std::vector<Fault> faults_;
};

}  // namespace kob::platform
