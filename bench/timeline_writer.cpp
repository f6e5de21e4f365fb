#include "timeline_writer.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "audio_level.h"
#include "working_folder.h"

extern char** environ;

namespace kob::bench {
namespace {

constexpr double kLevelFloor = -80.0;  // dBFS: the level plot's bottom, silence included

// A gnuplot single-quoted string: a quote inside is doubled.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

// Runs gnuplot on the script; its messages go to our standard error.
void runGnuplot(const std::filesystem::path& script) {
    const std::string path = script.string();
    char program[] = "gnuplot";
    std::vector<char> argument(path.begin(), path.end());
    argument.push_back('\0');
    char* argv[] = {program, argument.data(), nullptr};
    pid_t pid = 0;
    if (const int error = posix_spawnp(&pid, program, nullptr, nullptr, argv, environ); error != 0)
        throw std::runtime_error("cannot run gnuplot for the timeline (" + std::string(std::strerror(error)) +
                                 "); scripts/install-deps.sh installs it");
    int status = 0;
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(WIFEXITED(status) && WEXITSTATUS(status) == 127
                                     ? "gnuplot is not installed; scripts/install-deps.sh installs it"
                                     : "gnuplot could not draw the timeline from " + path);
}

}  // namespace

TimelineWriter::TimelineWriter(std::filesystem::path picture, double framesPerSecond)
    : picture_(std::move(picture)), frameSeconds_(1.0 / framesPerSecond) {}

void TimelineWriter::afterFrame(const host::FrameReport& report) {
    const auto& slots = report.slots.slots();
    if (tracks_.empty()) {
        tracks_.resize(slots.size());
        for (std::size_t i = 0; i < slots.size(); ++i) {
            tracks_[i].variable = slots[i].config.variable;
            tracks_[i].named = slots[i].config.named;
            tracks_[i].shown = slots[i].config.named;
        }
    }
    const double now = report.time;
    const auto& writes = report.host.writeCounts();
    const auto& moduleWrites = report.host.moduleWriteCounts();
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        Track& track = tracks_[i];
        if (slots[i].buffer) track.shown = true;
        // A change that the update made happened at its time; one that came
        // while its frame played (a sound reaching its end) at the frame's end.
        const host::SlotPlayState updated = report.slots.stateAfterUpdate(i);
        const host::SlotPlayState state = report.slots.state(i);
        const double changedAt = updated == track.state ? now + frameSeconds_ : now;
        if (state != track.state) {
            if (track.state != host::SlotPlayState::Idle)
                segments_.push_back({i, track.since, changedAt, track.state});
            track.state = state;
            track.since = changedAt;
        } else if (updated != state && updated != host::SlotPlayState::Idle) {
            // Started and ended within one frame.
            segments_.push_back({i, now, now + frameSeconds_, updated});
        }
        if (track.id < 0) track.id = report.host.findLvar(track.variable);
        if (track.id < 0) continue;
        const auto id = static_cast<std::size_t>(track.id);
        // Writes since the last frame: the module's are those it made through
        // its services; the rest came from the scenario.
        const std::uint64_t byModule = moduleWrites[id] - track.moduleWrites;
        const std::uint64_t byPanel = writes[id] - track.writes - byModule;
        if (byPanel > 0) marks_.push_back({i, now, false});
        if (byModule > 0) marks_.push_back({i, now, true});
        if (byPanel + byModule > 0) track.shown = true;
        track.writes = writes[id];
        track.moduleWrites = moduleWrites[id];
    }
    if (!report.audio.empty())
        level_.emplace_back(now, std::max(kLevelFloor, host::rmsDbfs(report.audio)));
    end_ = now + frameSeconds_;
}

std::string TimelineWriter::script() const {
    // Rows from the top: the lowest slot first.
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        if (tracks_[i].shown) shown.push_back(i);
    std::vector<double> rowOf(tracks_.size(), 0.0);
    for (std::size_t r = 0; r < shown.size(); ++r) rowOf[shown[r]] = static_cast<double>(shown.size() - 1 - r);

    const bool svg = picture_.extension() == ".svg";
    const std::size_t rows = std::max<std::size_t>(shown.size(), 1);
    const int width = 1200;
    const int slotsHeight = 60 + 32 * static_cast<int>(rows);
    const int levelHeight = 180;
    const int height = slotsHeight + levelHeight + 40;

    std::string s;
    s += "# The timeline of a kob-bench run; `gnuplot " + picture_.stem().string() + ".gp` draws it again.\n";
    s += svg ? "set terminal svg noenhanced font 'sans,11' size " : "set terminal pngcairo noenhanced font 'sans,10' size ";
    s += std::to_string(width) + "," + std::to_string(height) + "\n";
    s += "set output " + quoted(picture_.filename().string()) + "\n";

    auto block = [&](const char* name, auto&& lines) {
        s += std::string("$") + name + " << EOD\n";
        lines();
        s += "EOD\n";
    };
    const std::pair<host::SlotPlayState, const char*> kinds[] = {
        {host::SlotPlayState::PlayingOnce, "once"},
        {host::SlotPlayState::Looping, "loop"},
        {host::SlotPlayState::Muted, "muted"}};
    // Every segment as a box: centre x, row, half width, half height. One
    // dummy line per block keeps empty blocks plottable.
    for (const auto& [kind, name] : kinds)
        block(name, [&] {
            s += "-1 -10 0 0\n";
            for (const auto& seg : segments_)
                if (seg.state == kind && tracks_[seg.slot].shown)
                    s += number((seg.from + seg.to) / 2) + " " + number(rowOf[seg.slot]) + " " +
                         number((seg.to - seg.from) / 2) + " 0.3\n";
        });
    for (const bool byModule : {false, true})
        block(byModule ? "module_writes" : "panel_writes", [&] {
            s += "-1 -10\n";
            for (const auto& mark : marks_)
                if (mark.byModule == byModule && tracks_[mark.slot].shown)
                    s += number(mark.time) + " " + number(rowOf[mark.slot] + (byModule ? -0.42 : 0.42)) + "\n";
        });
    block("level", [&] {
        for (const auto& [time, db] : level_) s += number(time) + " " + number(db) + "\n";
        if (!level_.empty()) s += number(end_) + " " + number(level_.back().second) + "\n";
    });

    const double top = 1.0 - static_cast<double>(slotsHeight) / height;
    s += "set multiplot\n";
    s += "set lmargin 18\nset rmargin 3\n";
    s += "set xrange [0:" + number(end_) + "]\n";
    s += "set grid xtics lc rgb '#dddddd'\n";
    s += "set style fill solid 1.0 noborder\n";
    // The slot rows.
    s += "set origin 0," + number(top) + "\nset size 1," + number(1.0 - top) + "\n";
    s += "set title 'Slots: what each sound did, and the writes to its variable'\n";
    s += "set yrange [-0.7:" + number(static_cast<double>(rows) - 0.3) + "]\n";
    s += "set ytics (";
    for (std::size_t r = 0; r < shown.size(); ++r) {
        if (r) s += ", ";
        s += quoted(tracks_[shown[r]].variable) + " " + number(rowOf[shown[r]]);
    }
    if (shown.empty()) s += "'' 0";
    s += ") nomirror\n";
    s += "unset ylabel\nset format x ''\nset xlabel ''\n";
    s += "set key outside top center horizontal\n";
    s += "plot $once using 1:2:3:4 with boxxyerror lc rgb '#2b8cbe' title 'playing once', \\\n"
         "     $loop using 1:2:3:4 with boxxyerror lc rgb '#31a354' title 'looping', \\\n"
         "     $muted using 1:2:3:4 with boxxyerror lc rgb '#bdbdbd' title 'muted', \\\n"
         "     $panel_writes using 1:2 with points pt 11 ps 0.9 lc rgb '#d95f0e' title 'written by the panel', \\\n"
         "     $module_writes using 1:2 with points pt 9 ps 0.9 lc rgb '#756bb1' title 'written by the module'\n";
    // The mix's level.
    s += "set origin 0,0\nset size 1," + number(top) + "\n";
    s += "set title 'The mix: RMS level of every frame'\n";
    s += "set yrange [" + number(kLevelFloor) + ":0]\nset ytics 20\nset ylabel 'dBFS'\n";
    s += "set format x '%g'\nset xlabel 'time (s)'\nunset key\n";
    s += "plot $level using 1:2 with filledcurves y=" + number(kLevelFloor) + " fc rgb '#9ecae1', $level using 1:2 with lines lc rgb '#08519c'\n";
    s += "unset multiplot\n";
    return s;
}

void TimelineWriter::finish() {
    // Sounds still going at the end run to the end.
    for (std::size_t i = 0; i < tracks_.size(); ++i)
        if (tracks_[i].state != host::SlotPlayState::Idle) segments_.push_back({i, tracks_[i].since, end_, tracks_[i].state});
    const auto scriptPath = std::filesystem::path(picture_).replace_extension(".gp");
    {
        std::ofstream out(scriptPath);
        out << script();
        out.close();
        if (!out) throw std::runtime_error("cannot write the timeline's script " + scriptPath.string());
    }
    // gnuplot writes the picture beside its script: it runs in that folder.
    const host::WorkingFolder folder(std::filesystem::absolute(scriptPath).parent_path());
    runGnuplot(scriptPath.filename());
}

}  // namespace kob::bench
