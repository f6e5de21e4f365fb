// Under Windows the sound goes to the audio device and nothing is rendered:
// --render is refused.
#include "render_writer.h"

#include <stdexcept>

namespace kob::bench {

RenderWriter::RenderWriter(const std::filesystem::path& file, std::uint32_t) : path_(file) {
    throw std::runtime_error("--render needs the portable mixer; this build plays through the audio device (render " +
                             file.string() + " with the native kob-bench)");
}

RenderWriter::~RenderWriter() = default;
void RenderWriter::afterFrame(const host::FrameReport&) {}
void RenderWriter::finish() {}

}  // namespace kob::bench
