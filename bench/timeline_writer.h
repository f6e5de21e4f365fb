// The timeline: a picture of a run, drawn by gnuplot. One row per slot that
// the INI names, that got a buffer or whose variable was written, showing
// when its sound played once, looped or was muted, with a mark at each write
// to its variable (by the scenario, standing in for the XML gauges, or by the
// module); below it the mix's level, the RMS of every frame in dBFS. Beside
// the picture goes the gnuplot script that drew it (OUT.gp), data included,
// to redraw or restyle it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "module/panel_services.h"
#include "scenario_runner.h"

namespace kob::bench {

class TimelineWriter final : public host::RunObserver {
public:
    // `picture` ends in .png or .svg.
    TimelineWriter(std::filesystem::path picture, double framesPerSecond);
    void afterFrame(const host::FrameReport& report) override;
    // Writes the script and runs gnuplot; throws std::runtime_error when
    // either fails.
    void finish();

private:
    struct Track {
        std::string variable;
        bool named = false;
        bool shown = false;  // named, got a buffer or was written
        LvarId id = -1;
        host::SlotPlayState state = host::SlotPlayState::Idle;
        double since = 0.0;
        std::uint64_t writes = 0;
        std::uint64_t moduleWrites = 0;
    };
    struct Segment {
        std::size_t slot;
        double from;
        double to;
        host::SlotPlayState state;
    };
    struct Mark {
        std::size_t slot;
        double time;
        bool byModule;
    };
    std::string script() const;

    std::filesystem::path picture_;
    double frameSeconds_;
    double end_ = 0.0;
    std::vector<Track> tracks_;  // by slot
    std::vector<Segment> segments_;
    std::vector<Mark> marks_;
    std::vector<std::pair<double, double>> level_;  // time, dBFS
};

}  // namespace kob::bench
