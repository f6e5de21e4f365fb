// Each module test starts from a freshly loaded copy of the module (its own
// static state), a clean platform and a new panel host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "module_loader.h"
#include "module_test_access.h"
#include "panel_host.h"
#include "temp_dir.h"

namespace kob::test {

class ModuleFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GaugeState& state() const { return *access_->gaugeState; }
    SoundSlot& slot(int index) const { return access_->slotTable[index]; }
    const ModuleTestAccess& access() const { return *access_; }
    host::LoadedModule& module() const { return *module_; }

    void service(std::int32_t id) const { module_->service(id); }
    // Writes INI text into the scratch folder and runs setup, configure with
    // its path as the gauge's parameter, and registerVariables.
    void startWithIni(const std::string& iniText);
    // The same with a parameter string as given.
    void startWithParameter(const std::string& parameter);

    TempDir dir;
    std::unique_ptr<host::PanelHost> host;

private:
    std::unique_ptr<host::LoadedModule> module_;
    const ModuleTestAccess* access_ = nullptr;
    std::string parameter_;
};

}  // namespace kob::test
