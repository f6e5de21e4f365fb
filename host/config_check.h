// kob-bench check: everything in an INI file and its WAV files that the module
// would silently get wrong. The values are read with the module's own profile
// calls, keys and limits; the INI text is read only to point at lines and to
// find the keys the module never reads.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kob::host {

struct Finding {
    std::size_t line = 0;  // 0: the file as a whole
    std::string message;
};

struct ConfigCheck {
    std::filesystem::path file;
    std::vector<Finding> findings;  // in line order
    int slotCount = 0;              // the sound slots the module will have
    std::size_t wavFilesChecked = 0;
};

// The INI file cannot be read or the root is not a folder.
class CheckInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `root` is the folder relative WAV paths resolve from: the simulator's
// folder, where the module runs. Throws CheckInputError.
ConfigCheck checkConfiguration(const std::filesystem::path& ini, const std::filesystem::path& root);

// The level after a Sounds value's comma as the module reads it: a leading
// plain decimal number (sign, digits, fraction, exponent), or nothing.
std::optional<double> leadingDecimal(std::string_view text);

}  // namespace kob::host
