// The update service with 100 configured slots, against its floor: the host
// calls the update has to make (one getLvar per slot; findLvar and getLvar for
// the stop variable; findLvar and setLvar for "time_of_day" and
// "kob_sound_indicator"; readSimVariable for the pause probe), made by a bare
// loop through the same panel services table of the same host.
//
// The "platform" floors add the calls the module makes into the portable
// platform in steady state: two GetProcAddress, one GetStatus per looping
// slot, one SetVolume per loaded slot on a mute transition.
//
// Scenarios: idle (every variable 0, no slot ever loaded); looping (20 slots
// loaded once in setup and looping; nothing is rendered between updates);
// mute transition (the 20 looping slots, the simulation paused at every other
// update, so that every update mutes or unmutes all 20).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kob_platform/win32.h"
#include "module_on_panel.h"
#include "wav_builder.h"

namespace kob::bench {
namespace {

constexpr int kSlots = 100;
constexpr int kLooping = 20;

enum class Scenario { Idle, Looping, MuteTransition };

// The module with 100 slots; in the looping scenarios slots 0 to 19 loop.
struct UpdateSetup {
    explicit UpdateSetup(Scenario scenario) {
        std::vector<std::string> wavs;
        if (scenario != Scenario::Idle) {
            const auto format = test::WaveFormat::pcm(1, 22050, 16);
            for (int i = 0; i < kLooping; ++i)
                wavs.push_back(panel.dir()
                                   .write("loop" + std::to_string(i) + ".wav",
                                          test::wavFile(format, test::toneSamples(format, 22050, 200.0 + 20.0 * i)))
                                   .string());
        }
        panel.start(kSlots, wavs);
        for (int i = 0; i < static_cast<int>(wavs.size()); ++i)
            panel.host().setLvar(panel.access().slotTable[i].controlVarId, 2.0);
        // The first updates load the slots and start them, and the sound state is read.
        for (int i = 0; i < 3; ++i) panel.update();
    }

    ModuleOnPanel panel;
};

bool pausedThisTime(Scenario scenario, std::int64_t iteration) {
    return scenario == Scenario::MuteTransition && iteration % 2 == 0;
}

void moduleUpdate(benchmark::State& state, Scenario scenario) {
    UpdateSetup setup(scenario);
    for (int i = 0; i < kLooping && scenario != Scenario::Idle; ++i)
        if (setup.panel.access().slotBuffers[i] == nullptr) state.SkipWithError("a looping slot has no buffer");
    std::int64_t iteration = 0;
    for (auto _ : state) {
        setup.panel.host().setPaused(pausedThisTime(scenario, iteration++));
        setup.panel.update();
    }
}

// What the update must ask of the host, in the order the module asks it.
void floorUpdate(benchmark::State& state, Scenario scenario, bool withPlatformCalls) {
    UpdateSetup setup(scenario);
    host::PanelHost& host = setup.panel.host();
    PanelServices& services = *host.services();
    const test::ModuleTestAccess& access = setup.panel.access();
    std::vector<LvarId> slotIds;
    for (int i = 0; i < kSlots; ++i) slotIds.push_back(access.slotTable[i].controlVarId);
    const char* stopName = access.slotTable[kSlots].controlVarName;
    const int loaded = scenario == Scenario::Idle ? 0 : kLooping;
    IDirectSoundBuffer** buffers = access.slotBuffers;
    const HMODULE simulator = setup.panel.simulatorModule();

    SimVariableRecord probe{};
    probe.number = 604;
    bool muted = false;
    std::int64_t iteration = 0;
    for (auto _ : state) {
        const bool paused = pausedThisTime(scenario, iteration++);
        host.setPaused(paused);
        host.advanceFrame(ModuleOnPanel::frameSeconds);
        for (int i = 0; i < kSlots; ++i) {
            benchmark::DoNotOptimize(services.getLvar(slotIds[static_cast<std::size_t>(i)]));
            if (withPlatformCalls && i < loaded) {
                DWORD status = 0;
                buffers[i]->GetStatus(&status);
                benchmark::DoNotOptimize(status);
            }
        }
        const LvarId stop = services.findLvar(stopName);
        benchmark::DoNotOptimize(services.getLvar(stop));
        const unsigned char* linkage = nullptr;
        if (withPlatformCalls) {
            linkage = reinterpret_cast<const unsigned char*>(GetProcAddress(simulator, "Linkage"));
            benchmark::DoNotOptimize(GetProcAddress(simulator, "Linkage"));
        }
        const double timeOfDay = linkage ? linkage[4446] : 7.0;
        services.setLvar(services.findLvar("time_of_day"), timeOfDay);
        services.setLvar(services.findLvar("kob_sound_indicator"), 1.0);
        services.readSimVariable(&probe);
        benchmark::DoNotOptimize(probe.value);
        if (withPlatformCalls && paused != muted) {
            muted = paused;
            for (int i = 0; i < loaded; ++i) buffers[i]->SetVolume(muted ? DSBVOLUME_MIN : 0);
        }
    }
}

void BM_Update(benchmark::State& state, Scenario scenario) { moduleUpdate(state, scenario); }
void BM_UpdateFloorHost(benchmark::State& state, Scenario scenario) { floorUpdate(state, scenario, false); }
void BM_UpdateFloorPlatform(benchmark::State& state, Scenario scenario) { floorUpdate(state, scenario, true); }

BENCHMARK_CAPTURE(BM_Update, idle, Scenario::Idle);
BENCHMARK_CAPTURE(BM_UpdateFloorHost, idle, Scenario::Idle);
BENCHMARK_CAPTURE(BM_UpdateFloorPlatform, idle, Scenario::Idle);
BENCHMARK_CAPTURE(BM_Update, looping, Scenario::Looping);
BENCHMARK_CAPTURE(BM_UpdateFloorHost, looping, Scenario::Looping);
BENCHMARK_CAPTURE(BM_UpdateFloorPlatform, looping, Scenario::Looping);
BENCHMARK_CAPTURE(BM_Update, mute_transition, Scenario::MuteTransition);
BENCHMARK_CAPTURE(BM_UpdateFloorHost, mute_transition, Scenario::MuteTransition);
BENCHMARK_CAPTURE(BM_UpdateFloorPlatform, mute_transition, Scenario::MuteTransition);

}  // namespace
}  // namespace kob::bench
