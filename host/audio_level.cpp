#include "audio_level.h"

#include <cmath>
#include <limits>

namespace kob::host {

double rmsDbfs(std::span<const float> samples) {
    double sum = 0.0;
    for (const float s : samples) sum += static_cast<double>(s) * s;
    if (samples.empty() || sum == 0.0) return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(sum / static_cast<double>(samples.size()));
}

}  // namespace kob::host
