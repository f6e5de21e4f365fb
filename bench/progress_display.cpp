#include "progress_display.h"

#include <unistd.h>

#include <cstdio>

namespace kob::bench {
namespace {
// Runs shorter than this finish before a display would help.
constexpr auto kQuietPeriod = std::chrono::milliseconds(500);
constexpr auto kRefresh = std::chrono::milliseconds(100);
}  // namespace

ProgressDisplay::ProgressDisplay()
    : active_(::isatty(STDERR_FILENO) != 0), started_(std::chrono::steady_clock::now()), lastShown_(started_) {}

ProgressDisplay::~ProgressDisplay() {
    if (shown_) std::fprintf(stderr, "\r\033[K");
}

void ProgressDisplay::afterFrame(const host::FrameReport& report) {
    if (!active_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - started_ < kQuietPeriod || now - lastShown_ < kRefresh) return;
    lastShown_ = now;
    shown_ = true;
    const double total = report.lastUpdate > 0 ? static_cast<double>(report.lastUpdate) : 1.0;
    std::fprintf(stderr, "\rkob-bench: update %llu of %llu, %.1f s (%3.0f%%)\033[K",
                 static_cast<unsigned long long>(report.update + 1),
                 static_cast<unsigned long long>(report.lastUpdate + 1), report.time,
                 100.0 * static_cast<double>(report.update) / total);
    std::fflush(stderr);
}

}  // namespace kob::bench
