// Runs a program and collects what it prints, for tests that read built files
// through the system's own tools.
#pragma once

#include <string>
#include <vector>

namespace kob::test {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs argv[0] (looked up in PATH when it has no slash) with the rest as its
// arguments, no shell in between. Throws std::runtime_error when the program
// cannot be started.
CommandResult runCommand(const std::vector<std::string>& argv);

// The same, and throws std::runtime_error with the command and its error text
// unless the program exits with 0.
std::string commandOutput(const std::vector<std::string>& argv);

}  // namespace kob::test
