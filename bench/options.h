// The command line of kob-bench.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

namespace kob::bench {

// A bad command line: what() is the one-line reason.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    enum class Command { Run, Check } command = Command::Run;
    bool help = false;
    std::filesystem::path scenario;  // run
    std::filesystem::path ini;       // check
    std::optional<std::filesystem::path> render;
    std::optional<std::filesystem::path> trace;
    std::optional<std::filesystem::path> timeline;  // .png or .svg
    std::optional<std::filesystem::path> module;
    std::optional<std::filesystem::path> root;
    double framesPerSecond = 18.0;
    bool quiet = false;
};

// Throws UsageError.
Options parseOptions(std::span<char* const> arguments);

std::string usageText();

}  // namespace kob::bench
