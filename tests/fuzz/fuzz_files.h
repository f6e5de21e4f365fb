// Scratch files for the fuzz targets: each target writes its input to a file
// of its own and reads it back through the module's or the platform's code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kob::fuzz {

// A folder private to this process, made on first use and kept for its life.
const std::string& scratchFolder();

// Writes bytes to scratchFolder()/name, replacing it; returns the full path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace kob::fuzz
