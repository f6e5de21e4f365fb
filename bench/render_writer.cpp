#include "render_writer.h"

#include <sndfile.h>

#include <stdexcept>

namespace kob::bench {

RenderWriter::RenderWriter(const std::filesystem::path& file, std::uint32_t sampleRate) : path_(file) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(sampleRate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(file.c_str(), SFM_WRITE, &info);
    if (!file_) throw std::runtime_error("cannot write " + file.string() + ": " + sf_strerror(nullptr));
    // Loud mixes are clipped rather than wrapped round.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

RenderWriter::~RenderWriter() {
    if (file_) sf_close(file_);
}

void RenderWriter::afterFrame(const host::FrameReport& report) {
    const auto frames = static_cast<sf_count_t>(report.audio.size() / 2);
    if (frames > 0 && sf_writef_float(file_, report.audio.data(), frames) != frames) failed_ = true;
}

void RenderWriter::finish() {
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (failed_ || closed != 0) throw std::runtime_error("could not write the whole of " + path_.string());
}

}  // namespace kob::bench
