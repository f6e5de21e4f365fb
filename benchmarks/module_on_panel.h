// The module as the simulator runs it, for benchmarks: a clean platform with
// its audio call log off, the simulator's "GLOBAL.DLL" registered, a panel
// host that records nothing, and a fresh copy of the test build of the module
// (its test access reaches the slot buffers).
#pragma once

#include <array>
#include <memory>
#include <string>

#include "module_loader.h"
#include "module_test_access.h"
#include "panel_host.h"
#include "temp_dir.h"

namespace kob::bench {

class ModuleOnPanel {
public:
    ModuleOnPanel();
    ~ModuleOnPanel();
    ModuleOnPanel(const ModuleOnPanel&) = delete;
    ModuleOnPanel& operator=(const ModuleOnPanel&) = delete;

    // Writes an INI file naming `slotCount` sounds (wavPaths[i] for slot i,
    // a missing file for the rest), then runs setup, configure and
    // registerVariables.
    void start(int slotCount, const std::vector<std::string>& wavPaths);
    // One panel update: the simulation clock moves unless paused, then the
    // gauge callback runs with the update service, reached through Linkage.
    void update();

    host::PanelHost& host() { return *host_; }
    const test::ModuleTestAccess& access() const { return *access_; }
    const test::TempDir& dir() const { return dir_; }
    // The simulator module's export "Linkage", as GetProcAddress finds it.
    HMODULE simulatorModule() const { return simulatorModule_; }

    static constexpr double frameSeconds = 1.0 / 18.0;

private:
    test::TempDir dir_;
    alignas(8) std::array<unsigned char, 8192> simulatorMemory_{};
    HMODULE simulatorModule_ = nullptr;
    std::unique_ptr<host::PanelHost> host_;
    std::unique_ptr<host::LoadedModule> module_;
    const test::ModuleTestAccess* access_ = nullptr;
    std::string parameter_;
};

}  // namespace kob::bench
