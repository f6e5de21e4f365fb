// The rendered mix as a 16-bit stereo WAV file, written frame by frame
// through libsndfile.
#pragma once

#include <filesystem>

#include "scenario_runner.h"

struct sf_private_tag;

namespace kob::bench {

class RenderWriter final : public host::RunObserver {
public:
    // Throws std::runtime_error when the file cannot be created.
    RenderWriter(const std::filesystem::path& file, std::uint32_t sampleRate);
    ~RenderWriter() override;
    RenderWriter(const RenderWriter&) = delete;
    RenderWriter& operator=(const RenderWriter&) = delete;
    void afterFrame(const host::FrameReport& report) override;
    // Closes the file; throws when a write failed.
    void finish();

private:
    std::filesystem::path path_;
    sf_private_tag* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace kob::bench
