// Runs a scenario against a module: one panel session, the scenario's events
// applied before the update at their time, its expectations checked after
// it, and the time between updates handed to an audio output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio_output.h"
#include "panel_host.h"
#include "scenario.h"
#include "slot_activity.h"

namespace kob::host {

struct ExpectationFailure {
    double time = 0.0;
    SourceLine where;
    std::string expected;
    std::string found;
};

// What an observer sees after each update and its frame of audio.
struct FrameReport {
    std::uint64_t update = 0;
    std::uint64_t lastUpdate = 0;
    double time = 0.0;  // of the update, seconds
    const PanelHost& host;
    std::span<const float> audio;  // the frame after the update; empty when not observable
    const SlotActivity& slots;     // each slot's sound, as of the end of the frame
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void afterFrame(const FrameReport& report) = 0;
};

struct RunSettings {
    std::filesystem::path module;
    double framesPerSecond = 18.0;
    std::optional<std::filesystem::path> root;  // overrides the scenario's
};

struct RunResult {
    std::vector<ExpectationFailure> failures;
    std::uint64_t updates = 0;
    // `expect audio` lines not checked: the output could not be listened to.
    std::size_t uncheckedAudio = 0;
    std::vector<SlotSummary> slots;
};

// Throws ScenarioError for a problem with a location in the scenario (a
// missing INI file or root folder, a fault on a slot without a buffer) and
// std::runtime_error for others (a module that cannot be loaded).
RunResult runScenario(const Scenario& scenario, const RunSettings& settings, AudioOutput& output,
                      std::span<RunObserver* const> observers);

// The update a time falls on: the first at or after it.
std::uint64_t updateAt(double seconds, double framesPerSecond);

}  // namespace kob::host
