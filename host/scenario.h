// A bench scenario: the INI file to load, where its sounds are, and what
// happens at which time. Parsed from plain text, one event per line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kob::host {

// A bad scenario: what() is one line, "file:line: what is wrong".
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a line came from, for messages.
struct SourceLine {
    std::string file;
    int line = 0;
    std::string describe() const { return file + ":" + std::to_string(line); }
};

namespace event {

struct Set {
    std::string name;
    double value;
};
struct Expect {
    std::string name;
    double value;  // may be NaN: then NaN is expected
};
struct SimSound {
    std::int32_t state;
};
struct SimPause {
    bool paused;
};
struct SimTimeOfDay {
    std::uint8_t value;
};
struct SimGlobal {
    bool present;
};
struct Click {
    enum class Area { Previous, Next } area;
};
struct ExpectText {
    enum class Line { File, Variable, Number } line;
    std::string text;
};
struct ExpectAudio {
    bool sound;  // true: above the threshold; false: below it
};
// A platform fault. `count` is how many calls fail (kForeverCount: all), or
// for `lose` how many restores fail.
struct Fault {
    enum class Kind { Lose, CreateBuffer, Play, Lock, GetStatus, Restore, Device, Cooperative, Clear } kind;
    std::optional<int> slot;  // a slot's buffer only; none: every buffer
    std::uint32_t count = 1;
};
constexpr std::uint32_t kForeverCount = 0xFFFFFFFFu;

}  // namespace event

using EventAction = std::variant<event::Set, event::Expect, event::SimSound, event::SimPause, event::SimTimeOfDay,
                                 event::SimGlobal, event::Click, event::ExpectText, event::ExpectAudio, event::Fault>;

struct ScenarioEvent {
    double time = 0.0;  // seconds from the first update
    SourceLine where;
    EventAction action;
};

struct Scenario {
    std::filesystem::path file;
    std::filesystem::path config;  // resolved against the scenario's folder
    SourceLine configLine;
    std::filesystem::path root;    // where relative WAV paths resolve
    double end = 0.0;              // the time of the last update
    std::vector<ScenarioEvent> events;  // by time, file order within a time
};

// Reads and parses a scenario file; throws ScenarioError.
Scenario readScenario(const std::filesystem::path& file);
// Parses scenario text; `file` names it in messages and anchors relative paths.
Scenario parseScenario(std::string_view text, const std::filesystem::path& file);

// The fault names and what they take, for usage texts.
std::string_view faultUsage();

}  // namespace kob::host
