// The portable platform against Wine: the same probe source, built for
// Windows and run under Wine, and built natively on kob_platform, reads the
// same files; every answer must be the same. docs/wine.md lists what this
// found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "profile_corpus.h"
#include "temp_dir.h"
#include "wave_corpus.h"
#include "wine_environment.h"

namespace kob::test::wine {
namespace {

struct ProbeRun {
    std::string windowsProgram;
    std::filesystem::path nativeProgram;
    std::vector<std::string> arguments;  // after the output file
};

// Runs both builds of a probe in the folder and compares their outputs line by
// line, reporting each line that differs.
void expectSameAnswers(const TempDir& folder, const ProbeRun& run) {
    const auto windows = windowsProgram(run.windowsProgram);
    ASSERT_TRUE(std::filesystem::exists(windows))
        << windows << " is missing: build the windows-x64 preset first (scripts/test.sh does)";
    ASSERT_TRUE(std::filesystem::exists(sharedEnvironment() / "prefix"))
        << "the Wine environment is not running (the CTest fixture wine_environment_start starts it)";

    std::vector<std::string> wineArguments = {"wine.txt"};
    std::vector<std::string> nativeArguments = {"native.txt"};
    wineArguments.insert(wineArguments.end(), run.arguments.begin(), run.arguments.end());
    nativeArguments.insert(nativeArguments.end(), run.arguments.begin(), run.arguments.end());
    ASSERT_EQ(runWindows(sharedEnvironment(), folder.path(), windows, wineArguments), 0);
    ASSERT_EQ(runNative(folder.path(), run.nativeProgram, nativeArguments), 0);

    // To look at the answers in full: KOB_PROBE_ANSWERS=folder keeps copies.
    if (const char* keep = std::getenv("KOB_PROBE_ANSWERS")) {
        const std::filesystem::path stem = std::filesystem::path(keep) / run.windowsProgram;
        std::filesystem::create_directories(keep);
        std::filesystem::copy_file(folder.path() / "wine.txt", stem.string() + ".wine.txt",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(folder.path() / "native.txt", stem.string() + ".native.txt",
                                   std::filesystem::copy_options::overwrite_existing);
    }
    const auto wine = readLines(folder.path() / "wine.txt");
    const auto native = readLines(folder.path() / "native.txt");
    ASSERT_FALSE(wine.empty());
    EXPECT_EQ(native.size(), wine.size());
    // The probes repeat the question at the start of each block, so the
    // nearest line naming a file says what was asked.
    std::string context;
    for (std::size_t i = 0; i < std::min(wine.size(), native.size()); ++i) {
        if (!wine[i].starts_with(" ")) context = wine[i].substr(0, wine[i].find(' '));
        EXPECT_EQ(native[i], wine[i]) << "line " << i + 1 << " (" << context << "): native first, Wine second";
    }
}

TEST(PlatformAgainstWine, ProfileReadingGivesWinesAnswers) {
    KOB_REQUIRE_WINE();
    TempDir folder;
    for (const ProfileFile& file : profileCorpus()) folder.write(file.name, file.bytes);
    folder.write("queries.txt", queryList(profileQueries()));
    expectSameAnswers(folder, {"profile_probe.exe", KOB_NATIVE_PROFILE_PROBE, {"queries.txt"}});
}

TEST(PlatformAgainstWine, WaveReadingGivesWinesAnswers) {
    KOB_REQUIRE_WINE();
    TempDir folder;
    std::vector<std::string> names;
    for (const WaveCorpusFile& file : waveCorpus()) {
        folder.write(file.name, file.bytes);
        names.push_back(file.name);
    }
    names.push_back("missing.wav");
    expectSameAnswers(folder, {"wave_probe.exe", KOB_NATIVE_WAVE_PROBE, names});
}

}  // namespace
}  // namespace kob::test::wine
