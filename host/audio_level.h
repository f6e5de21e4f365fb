// How loud a stretch of the mix is.
#pragma once

#include <span>

namespace kob::host {

// The RMS level of interleaved samples over every channel, in dB relative to
// full scale (1.0); -infinity for silence or no samples.
double rmsDbfs(std::span<const float> samples);

// What `expect audio sound` asks: above this level.
constexpr double kAudibleDbfs = -60.0;

}  // namespace kob::host
