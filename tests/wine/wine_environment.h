// The Wine environment the CTest fixture starts (scripts/wine-env.sh), as the
// tests use it: running the Windows and native builds of a probe in a folder,
// and recording what reaches the sound server.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kob::test::wine {

// Why Wine runs cannot happen here (wine64 or pulseaudio missing), or nothing.
std::optional<std::string> missingTools();

// The state folder of the environment the fixture started.
std::filesystem::path sharedEnvironment();

// A Windows program of the x64 build, by file name (e.g. "profile_probe.exe").
std::filesystem::path windowsProgram(const std::string& fileName);

// Runs a script command (start, stop, record-start, ...) on a state folder.
int environmentCommand(const std::string& command, const std::filesystem::path& state,
                       const std::vector<std::string>& arguments = {});

// Runs a Windows program under Wine, or a native program, with the given
// working folder. Returns the exit status.
int runWindows(const std::filesystem::path& state, const std::filesystem::path& folder,
               const std::filesystem::path& program, const std::vector<std::string>& arguments);
int runNative(const std::filesystem::path& folder, const std::filesystem::path& program,
              const std::vector<std::string>& arguments);

// A file's lines; empty when it cannot be read.
std::vector<std::string> readLines(const std::filesystem::path& file);

}  // namespace kob::test::wine

// Skips the test when Wine is missing, so a machine without it still passes;
// CI installs it.
#define KOB_REQUIRE_WINE()                                                                       \
    do {                                                                                         \
        if (const auto kobMissing = ::kob::test::wine::missingTools())                           \
            GTEST_SKIP() << *kobMissing << "; the Wine comparison tests need them";             \
    } while (false)
