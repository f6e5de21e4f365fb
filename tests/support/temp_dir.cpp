#include "temp_dir.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

namespace kob::test {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("kob-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write(const std::string& relative, std::string_view bytes) const {
    const auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
    return full;
}

WorkingDirectory::WorkingDirectory(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

}  // namespace kob::test
