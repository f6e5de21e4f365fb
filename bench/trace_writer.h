// The trace: one CSV row per update, "update,time,changes", where changes
// lists every named variable whose value differs from the previous update
// (or that is new), as NAME=VALUE separated by ";".
#pragma once

#include <cstdio>
#include <filesystem>
#include <vector>

#include "scenario_runner.h"

namespace kob::bench {

class TraceWriter final : public host::RunObserver {
public:
    // Throws std::runtime_error when the file cannot be written.
    explicit TraceWriter(const std::filesystem::path& file);
    ~TraceWriter() override;
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;
    void afterFrame(const host::FrameReport& report) override;
    // Flushes and closes; throws when the data did not all reach the file.
    void finish();

private:
    std::filesystem::path path_;
    std::FILE* file_;
    std::vector<double> previous_;
};

}  // namespace kob::bench
