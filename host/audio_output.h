// Where the time between two panel updates goes. The portable mixer renders
// it (and so can be listened to and measured); a real sound device would
// instead wait for it to pass.
#pragma once

#include <cstdint>
#include <span>

namespace kob::host {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Lets the time of frame `frame` pass (the one after update `frame`) and
    // gives the mix heard over it as interleaved stereo float, or an empty
    // span where the output cannot be observed. The span stays valid until
    // the next call.
    virtual std::span<const float> playFrame(std::uint64_t frame) = 0;
    // Frames per second of what playFrame gives; 0 when it gives nothing.
    virtual std::uint32_t sampleRate() const = 0;
};

}  // namespace kob::host
