#include "fuzz_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kob::fuzz {

const std::string& scratchFolder() {
    static const std::string folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("kob-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

}  // namespace kob::fuzz
