#include "scenario_runner.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio_level.h"
#include "fault_injection.h"
#include "panel_session.h"
#include "slot_config.h"
#include "working_folder.h"

namespace kob::host {
namespace {

constexpr std::size_t kParameterLimit = 129;  // the gauge keeps this many characters

std::string formatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool sameValue(double found, double expected) {
    if (std::isnan(expected)) return std::isnan(found);
    if (found == expected) return true;
    const double scale = std::max({1.0, std::fabs(found), std::fabs(expected)});
    return std::fabs(found - expected) <= 1e-9 * scale;
}

// The INI path as the gauge's parameter string: relative to the working
// folder when that is shorter, as the string holds at most 129 characters.
std::string parameterFor(const Scenario& scenario, const std::filesystem::path& root) {
    const auto absolute = std::filesystem::weakly_canonical(scenario.config);
    const auto relative = absolute.lexically_relative(std::filesystem::weakly_canonical(root));
    std::string parameter = absolute.string();
    if (!relative.empty() && relative.string().size() < parameter.size()) parameter = relative.string();
    if (parameter.size() > kParameterLimit)
        throw ScenarioError(scenario.configLine.describe() + ": the INI path is longer than the gauge's " +
                            std::to_string(kParameterLimit) + "-character parameter string: " + parameter);
    return parameter;
}

class Run {
public:
    // Loads the module; the working folder must already be the root.
    Run(const Scenario& scenario, const RunSettings& settings, std::string parameter, AudioOutput& output,
        std::span<RunObserver* const> observers)
        : scenario_(scenario), settings_(settings), output_(output), observers_(observers),
          parameter_(std::move(parameter)), session_(settings.module), activity_(readSlotConfig(parameter_)) {}

    static std::string prepare(const Scenario& scenario, const std::filesystem::path& root) {
        if (!std::filesystem::is_regular_file(scenario.config))
            throw ScenarioError(scenario.configLine.describe() + ": no such INI file: " + scenario.config.string());
        if (!std::filesystem::is_directory(root))
            throw ScenarioError(scenario.file.string() + ": no such root folder: " + root.string());
        return parameterFor(scenario, root);
    }

    RunResult run();

private:
    void applyBefore(const ScenarioEvent& e);
    void checkAfter(const ScenarioEvent& e);
    void checkAudio(const ScenarioEvent& e, const event::ExpectAudio& expect);
    void fail(const ScenarioEvent& e, std::string expected, std::string found) {
        result_.failures.push_back({e.time, e.where, std::move(expected), std::move(found)});
    }

    const Scenario& scenario_;
    const RunSettings& settings_;
    AudioOutput& output_;
    std::span<RunObserver* const> observers_;
    std::string parameter_;
    PanelSession session_;
    SlotActivity activity_;
    std::span<const float> lastFrame_;
    RunResult result_;
};

void Run::applyBefore(const ScenarioEvent& e) {
    std::visit(
        [&](const auto& a) {
            using T = std::decay_t<decltype(a)>;
            if constexpr (std::is_same_v<T, event::Set>) {
                session_.host().set(a.name, a.value);
            } else if constexpr (std::is_same_v<T, event::SimSound>) {
                session_.simulator().setSoundState(a.state);
            } else if constexpr (std::is_same_v<T, event::SimPause>) {
                session_.host().setPaused(a.paused);
            } else if constexpr (std::is_same_v<T, event::SimTimeOfDay>) {
                session_.simulator().setTimeOfDay(a.value);
            } else if constexpr (std::is_same_v<T, event::SimGlobal>) {
                session_.simulator().setPresent(a.present);
            } else if constexpr (std::is_same_v<T, event::Click>) {
                if (a.area == event::Click::Area::Previous) session_.debugger().clickPrevious();
                else session_.debugger().clickNext();
            } else if constexpr (std::is_same_v<T, event::Fault>) {
                try {
                    applyFault(a, activity_);
                } catch (const std::runtime_error& error) {
                    throw ScenarioError(e.where.describe() + ": " + error.what());
                }
            } else if constexpr (std::is_same_v<T, event::ExpectAudio>) {
                checkAudio(e, a);
            }
        },
        e.action);
}

void Run::checkAudio(const ScenarioEvent& e, const event::ExpectAudio& expect) {
    const std::string wanted = expect.sound ? "sound (above -60 dBFS)" : "silence (below -60 dBFS)";
    // A real sound device plays on its own: there is nothing to measure.
    if (output_.sampleRate() == 0) {
        ++result_.uncheckedAudio;
        return;
    }
    const double level = rmsDbfs(lastFrame_);
    if ((level > kAudibleDbfs) != expect.sound)
        fail(e, wanted, std::isinf(level) ? "digital silence" : formatNumber(std::round(level * 10) / 10) + " dBFS");
}

void Run::checkAfter(const ScenarioEvent& e) {
    if (const auto* expect = std::get_if<event::Expect>(&e.action)) {
        const auto& host = session_.host();
        const std::string wanted = expect->name + " = " + formatNumber(expect->value);
        if (!host.hasLvar(expect->name)) fail(e, wanted, "no such variable");
        else if (const double found = host.value(expect->name); !sameValue(found, expect->value))
            fail(e, wanted, formatNumber(found));
    } else if (const auto* text = std::get_if<event::ExpectText>(&e.action)) {
        using Line = event::ExpectText::Line;
        const auto line = text->line == Line::File       ? DebuggerGaugeDriver::Line::File
                          : text->line == Line::Variable ? DebuggerGaugeDriver::Line::Variable
                                                         : DebuggerGaugeDriver::Line::Number;
        const std::string found = session_.debugger().text(line);
        if (found != text->text) fail(e, "text \"" + text->text + "\"", "\"" + found + "\"");
    }
}

bool checkedAfterUpdate(const ScenarioEvent& e) {
    return std::holds_alternative<event::Expect>(e.action) || std::holds_alternative<event::ExpectText>(e.action);
}

RunResult Run::run() {
    const double fps = settings_.framesPerSecond;
    const std::uint64_t last = updateAt(scenario_.end, fps);
    const auto& events = scenario_.events;
    std::size_t before = 0;  // next event to apply before an update
    std::size_t after = 0;   // next event to check after one
    for (std::uint64_t k = 0; k <= last; ++k) {
        for (; before < events.size() && updateAt(events[before].time, fps) <= k; ++before)
            if (!checkedAfterUpdate(events[before])) applyBefore(events[before]);
        if (k == 0) session_.start(parameter_);

        activity_.beforeUpdate(session_.host());
        session_.update(1.0 / fps);
        activity_.afterUpdate();

        for (; after < events.size() && updateAt(events[after].time, fps) <= k; ++after)
            if (checkedAfterUpdate(events[after])) checkAfter(events[after]);

        lastFrame_ = output_.playFrame(k);
        activity_.afterRender(lastFrame_.size() / 2, output_.sampleRate());
        const FrameReport report{k, last, static_cast<double>(k) / fps, session_.host(), lastFrame_,
                                  activity_};
        for (RunObserver* observer : observers_) observer->afterFrame(report);
    }
    session_.shutdown();
    result_.updates = last + 1;
    result_.slots = activity_.slots();
    return std::move(result_);
}

}  // namespace

std::uint64_t updateAt(double seconds, double framesPerSecond) {
    return static_cast<std::uint64_t>(std::max(0.0, std::ceil(seconds * framesPerSecond - 1e-9)));
}

RunResult runScenario(const Scenario& scenario, const RunSettings& settings, AudioOutput& output,
                      std::span<RunObserver* const> observers) {
    const auto root = std::filesystem::absolute(settings.root.value_or(scenario.root));
    std::string parameter = Run::prepare(scenario, root);
    const auto module = std::filesystem::absolute(settings.module);
    RunSettings absoluteSettings = settings;
    absoluteSettings.module = module;
    WorkingFolder folder(root);
    Run run(scenario, absoluteSettings, std::move(parameter), output, observers);
    return run.run();
}

}  // namespace kob::host
