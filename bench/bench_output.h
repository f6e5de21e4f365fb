// The output this build of the bench plays through: the portable mixer,
// rendered; or, under Windows, the system's sound device, paced in real time.
#pragma once

#include <memory>

#include "audio_output.h"

namespace kob::bench {

std::unique_ptr<host::AudioOutput> makeOutput(double framesPerSecond);

}  // namespace kob::bench
