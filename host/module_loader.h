// Loading a gauge module from file as the simulator does: find Linkage, hand
// over the panel services through ImportTable, run moduleInit.
#pragma once

#include <filesystem>
#include <string>

#include "module/records.h"

namespace kob::host {

class LoadedModule {
public:
    struct Options {
        // Load a private copy of the file, so that its static state is new
        // even when the same module is already loaded in this process.
        bool freshCopy = false;
    };

    // Throws std::runtime_error with a one-line reason when the file cannot
    // be loaded or lacks its exports.
    LoadedModule(const std::filesystem::path& file, PanelServices* services, Options options);
    LoadedModule(const std::filesystem::path& file, PanelServices* services)
        : LoadedModule(file, services, Options{}) {}
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    LinkageRecord& linkage() const { return *linkage_; }
    ImportTableRecord& importTable() const { return *importTable_; }
    GaugeHeader& soundGauge() const { return *linkage_->gaugeTable[0]; }
    GaugeHeader& debuggerGauge() const { return *linkage_->gaugeTable[1]; }
    // Another export, or null.
    void* symbol(const char* name) const;

    // The sound gauge's callback with one service id.
    void service(std::int32_t serviceId, GaugeHeader* instance = nullptr) const;

private:
    void* handle_ = nullptr;
    std::filesystem::path copy_;
    LinkageRecord* linkage_ = nullptr;
    ImportTableRecord* importTable_ = nullptr;
};

}  // namespace kob::host
