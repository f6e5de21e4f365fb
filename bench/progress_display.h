// A one-line progress display on the terminal for long runs.
#pragma once

#include <chrono>

#include "scenario_runner.h"

namespace kob::bench {

class ProgressDisplay final : public host::RunObserver {
public:
    // Shows nothing unless standard error is a terminal.
    ProgressDisplay();
    ~ProgressDisplay() override;
    void afterFrame(const host::FrameReport& report) override;

private:
    bool active_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastShown_;
};

}  // namespace kob::bench
