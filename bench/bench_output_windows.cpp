#include "bench_output.h"

#include "paced_output.h"

namespace kob::bench {

std::unique_ptr<host::AudioOutput> makeOutput(double framesPerSecond) {
    return std::make_unique<host::PacedOutput>(framesPerSecond);
}

}  // namespace kob::bench
