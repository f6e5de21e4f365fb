// kob-bench: runs a scenario against the sound gauge module without the
// simulator, renders what it plays and checks what the scenario expects.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "bench_output.h"
#include "module_path.h"
#include "options.h"
#include "progress_display.h"
#include "render_writer.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "summary.h"
#include "timeline_writer.h"
#include "check_command.h"
#include "trace_writer.h"

namespace kob::bench {
namespace {

constexpr int kAllHeld = 0;
constexpr int kSomeFailed = 1;
constexpr int kBadInput = 2;

std::size_t expectationCount(const host::Scenario& scenario) {
    std::size_t count = 0;
    for (const auto& e : scenario.events)
        if (std::holds_alternative<host::event::Expect>(e.action) ||
            std::holds_alternative<host::event::ExpectText>(e.action) ||
            std::holds_alternative<host::event::ExpectAudio>(e.action))
            ++count;
    return count;
}

int run(const Options& options) {
    const host::Scenario scenario = host::readScenario(options.scenario);
    host::RunSettings settings;
    settings.module = options.module.value_or(defaultModulePath());
    settings.framesPerSecond = options.framesPerSecond;
    settings.root = options.root;

    const std::unique_ptr<host::AudioOutput> output = makeOutput(options.framesPerSecond);
    std::optional<TraceWriter> trace;
    std::optional<RenderWriter> render;
    std::optional<TimelineWriter> timeline;
    if (options.trace) trace.emplace(*options.trace);
    if (options.timeline) timeline.emplace(*options.timeline, options.framesPerSecond);
    if (options.render) render.emplace(*options.render, output->sampleRate());

    host::RunResult result;
    {
        std::optional<ProgressDisplay> progress;
        if (!options.quiet) progress.emplace();
        std::vector<host::RunObserver*> observers;
        if (progress) observers.push_back(&*progress);
        if (trace) observers.push_back(&*trace);
        if (render) observers.push_back(&*render);
        if (timeline) observers.push_back(&*timeline);
        result = host::runScenario(scenario, settings, *output, observers);
    }
    if (trace) trace->finish();
    if (render) render->finish();
    if (timeline) timeline->finish();

    const bool observable = output->sampleRate() != 0;
    if (!options.quiet) {
        if (observable) printSummary(stdout, result.slots);
        else std::printf("(no per-slot summary: the audio device's buffers cannot be watched)\n");
        std::printf("\n");
    }
    if (result.uncheckedAudio > 0)
        std::printf("%zu audio expectation%s not checked: the sound went to the audio device\n",
                    result.uncheckedAudio, result.uncheckedAudio == 1 ? "" : "s");
    for (const auto& failure : result.failures)
        std::printf("FAILED at %.3f s (%s): expected %s, found %s\n", failure.time, failure.where.describe().c_str(),
                    failure.expected.c_str(), failure.found.c_str());
    const std::size_t expectations = expectationCount(scenario) - result.uncheckedAudio;
    if (result.failures.empty()) {
        std::printf("%llu updates; %zu expectation%s, all held\n", static_cast<unsigned long long>(result.updates),
                    expectations, expectations == 1 ? "" : "s");
        return kAllHeld;
    }
    std::printf("%llu updates; %zu of %zu expectations failed\n", static_cast<unsigned long long>(result.updates),
                result.failures.size(), expectations);
    return kSomeFailed;
}

}  // namespace
}  // namespace kob::bench

int main(int argc, char** argv) {
    using namespace kob;
    try {
        const bench::Options options =
            bench::parseOptions(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
        if (options.help) {
            std::fputs(bench::usageText().c_str(), stdout);
            return 0;
        }
        if (options.command == bench::Options::Command::Check) return bench::runCheck(options);
        return bench::run(options);
    } catch (const host::ScenarioError& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", error.what());
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "kob-bench: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "kob-bench: an unexpected failure\n");
    }
    return bench::kBadInput;
}
