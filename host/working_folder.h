// Makes a folder the working folder for as long as it lives: the module
// resolves relative WAV paths from there, as from the simulator's folder.
#pragma once

#include <filesystem>
#include <system_error>

namespace kob::host {

class WorkingFolder {
public:
    explicit WorkingFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace kob::host
