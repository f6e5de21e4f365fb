#include "paced_output.h"

#include "kob_platform/win32.h"

namespace kob::host {

PacedOutput::PacedOutput(double framesPerSecond) : fps_(framesPerSecond) {
    // Sleep's granularity is the system timer's; ask for 1 ms.
    timeBeginPeriod(1);
}

PacedOutput::~PacedOutput() { timeEndPeriod(1); }

std::span<const float> PacedOutput::playFrame(std::uint64_t frame) {
    using namespace std::chrono;
    if (!started_) {
        // Update 0 happened just now: the frames are counted from it.
        start_ = steady_clock::now() - duration_cast<steady_clock::duration>(duration<double>(static_cast<double>(frame) / fps_));
        started_ = true;
    }
    const auto due = start_ + duration_cast<steady_clock::duration>(duration<double>(static_cast<double>(frame + 1) / fps_));
    const auto now = steady_clock::now();
    if (due > now) Sleep(static_cast<DWORD>(duration_cast<milliseconds>(due - now).count()));
    return {};
}

}  // namespace kob::host
