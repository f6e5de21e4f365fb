// Under Windows the bench sees neither the buffers nor the mix, and has no
// gnuplot to run: --timeline is refused.
#include "timeline_writer.h"

#include <stdexcept>

namespace kob::bench {

TimelineWriter::TimelineWriter(std::filesystem::path picture, double) : picture_(std::move(picture)) {
    throw std::runtime_error("--timeline needs the portable mixer and gnuplot; draw " + picture_.string() +
                             " with the native kob-bench");
}

void TimelineWriter::afterFrame(const host::FrameReport&) {}
void TimelineWriter::finish() {}

}  // namespace kob::bench
