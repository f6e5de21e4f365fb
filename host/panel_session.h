// One panel with the sound gauge and the debugger gauge, driven as the
// simulator drives them: the module loaded and initialised, then setup,
// configure, registerVariables, one update per frame, shutdown, and the
// module unloaded. After every update the visible debugger gauge is redrawn.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "debugger_driver.h"
#include "module_loader.h"
#include "panel_host.h"
#include "simulator.h"

namespace kob::host {

class PanelSession {
public:
    // Loads the module and runs moduleInit. Throws std::runtime_error with a
    // one-line reason when it cannot be loaded or lacks its exports.
    explicit PanelSession(const std::filesystem::path& module);
    // Shuts the gauge down if it was started, then unloads the module.
    ~PanelSession();
    PanelSession(const PanelSession&) = delete;
    PanelSession& operator=(const PanelSession&) = delete;

    // setup, configure with `parameter` as the gauge's parameter string, registerVariables.
    void start(const std::string& parameter);
    // One panel update: the simulation clock moves by `frameSeconds` unless
    // paused, the sound gauge updates, the debugger gauge is redrawn.
    void update(double frameSeconds);
    void shutdown();

    PanelHost& host() { return host_; }
    SimulatorStandIn& simulator() { return simulator_; }
    DebuggerGaugeDriver& debugger() { return *debugger_; }
    LoadedModule& module() { return *module_; }

private:
    PanelHost host_;
    SimulatorStandIn simulator_;
    std::unique_ptr<LoadedModule> module_;
    std::unique_ptr<DebuggerGaugeDriver> debugger_;
    std::string parameter_;  // the header points at it while the gauge lives
    bool running_ = false;
};

}  // namespace kob::host
