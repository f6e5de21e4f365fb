#include "wine_environment.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

namespace kob::test::wine {
namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string commandLine(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    std::string line = quoted(program.string());
    for (const std::string& argument : arguments) line += " " + quoted(argument);
    return line;
}

std::string script() { return quoted(KOB_WINE_ENV_SCRIPT); }

}  // namespace

std::optional<std::string> missingTools() {
    if (shell("bash " + script() + " available 2>/dev/null") == 0) return std::nullopt;
    return "wine64, pulseaudio or parec is not installed (scripts/install-deps.sh installs them)";
}

std::filesystem::path sharedEnvironment() { return KOB_WINE_STATE_DIR; }

std::filesystem::path windowsProgram(const std::string& fileName) {
    return std::filesystem::path(KOB_WINDOWS_X64_PROBES) / fileName;
}

int environmentCommand(const std::string& command, const std::filesystem::path& state,
                       const std::vector<std::string>& arguments) {
    std::string line = "bash " + script() + " " + command + " " + quoted(state.string());
    for (const std::string& argument : arguments) line += " " + quoted(argument);
    return shell(line);
}

int runWindows(const std::filesystem::path& state, const std::filesystem::path& folder,
               const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    return shell("cd " + quoted(folder.string()) + " && bash " + script() + " run " + quoted(state.string()) +
                 " " + commandLine(program, arguments));
}

int runNative(const std::filesystem::path& folder, const std::filesystem::path& program,
              const std::vector<std::string>& arguments) {
    return shell("cd " + quoted(folder.string()) + " && " + commandLine(program, arguments));
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace kob::test::wine
