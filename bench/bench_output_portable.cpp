#include "bench_output.h"

#include "mixer_output.h"

namespace kob::bench {

std::unique_ptr<host::AudioOutput> makeOutput(double framesPerSecond) {
    return std::make_unique<host::MixerOutput>(framesPerSecond);
}

}  // namespace kob::bench
