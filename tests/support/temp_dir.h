// A scratch folder per test, removed afterwards, with helpers to fill it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kob::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes bytes to a file below the folder (creating folders) and returns its full path.
    std::filesystem::path write(const std::string& relative, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// Makes a folder the working directory for as long as it lives.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace kob::test
