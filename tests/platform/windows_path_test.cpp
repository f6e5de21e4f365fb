// Opening files by paths written as on Windows: configurations made there
// must find their files here unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "kob_platform/win32.h"
#include "temp_dir.h"

namespace kob::test {
namespace {

// The contents of the file the path opens, or nothing when it opens none.
std::optional<std::string> contentsAt(const char* path) {
    FILE* file = fopenWindowsPath(path, "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[256];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

class WindowsPath : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("sound/kob/file.wav", "kob file");
        dir.write("sound/kob/Spaced Name.wav", "spaced");
        dir.write("sound/readme.txt", "not a folder");
        dir.write("Mixed/Data.txt", "Data");
        dir.write("Mixed/data.txt", "data");
        dir.write("Mixed/DATA.TXT", "DATA");
        dir.write("Folder/x.txt", "Folder");
        dir.write("folder/x.txt", "folder");
        here.emplace(dir.path());
    }

    TempDir dir;
    std::optional<WorkingDirectory> here;
};

TEST_F(WindowsPath, RelativePathsResolve) {
    struct Case {
        const char* path;
        const char* expected;  // null: opens nothing
    };
    const Case cases[] = {
        {".\\Sound\\KOB\\File.WAV", "kob file"},
        {"sound/kob/file.wav", "kob file"},
        {"Sound/kob\\FILE.wav", "kob file"},
        {"./sound\\Kob/file.WAV", "kob file"},
        {"Sound\\kob \\file.wav. ", "kob file"},
        {"Sound.\\kob..\\file.wav...", "kob file"},
        {"Sound \\ kob\\file.wav", nullptr},  // leading spaces stay part of the name
        {"Sound\\\\kob//\\file.wav", "kob file"},
        {"Sound\\.\\kob\\.\\file.wav", "kob file"},
        {"Sound\\kob\\..\\kob\\file.wav", "kob file"},
        {"Missing\\..\\Sound\\kob\\file.wav", "kob file"},
        {"Sound\\kob\\..  \\kob\\file.wav", "kob file"},
        {"sound\\KOB\\spaced name.WAV", "spaced"},
        {"Mixed\\Data.txt", "Data"},
        {"Mixed\\data.txt", "data"},
        {"Mixed\\DATA.TXT", "DATA"},
        {"Mixed\\dAtA.tXt", "DATA"},  // no exact entry: the first match in byte order
        {"Folder\\x.txt", "Folder"},
        {"folder\\X.TXT", "folder"},
        {"FOLDER\\x.txt", "Folder"},
        {"Missing\\kob\\file.wav", nullptr},
        {"Sound\\Missing\\file.wav", nullptr},
        {"Sound\\kob\\missing.wav", nullptr},
        {"Sound\\kob\\file", nullptr},
        {"Sound\\kob\\file.wav\\", nullptr},
        {"Sound\\readme.txt\\file.wav", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto contents = contentsAt(c.path);
        if (c.expected) {
            ASSERT_TRUE(contents.has_value());
            EXPECT_EQ(*contents, c.expected);
        } else {
            EXPECT_FALSE(contents.has_value());
        }
    }
}

TEST_F(WindowsPath, NullPathOpensNothing) { EXPECT_EQ(fopenWindowsPath(nullptr, "rb"), nullptr); }

// A leading separator starts at the root; a drive letter is dropped, so
// "C:\..." is the root too.
TEST_F(WindowsPath, AbsolutePathsResolve) {
    const std::string root = backslashed(dir.path().string());
    const std::string cases[] = {
        root + "\\Sound\\KOB\\File.WAV",
        dir.path().string() + "/Sound\\kob/file.wav. ",
        "C:" + root + "\\sound\\kob\\file.wav",
        "c:" + root + "\\SOUND\\kob\\file.wav",
        "\\\\" + root + "\\sound\\kob\\file.wav",
        "\\..\\" + root + "\\sound\\kob\\file.wav",
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(contentsAt(path.c_str()), std::optional<std::string>("kob file"));
    }
}

TEST_F(WindowsPath, ParentOfWorkingDirectoryResolves) {
    WorkingDirectory inside(dir.path() / "sound" / "kob");
    EXPECT_EQ(contentsAt("..\\..\\SOUND\\Kob\\FILE.wav"), std::optional<std::string>("kob file"));
    EXPECT_EQ(contentsAt("..\\README.TXT"), std::optional<std::string>("not a folder"));
    EXPECT_EQ(contentsAt("File.Wav"), std::optional<std::string>("kob file"));
}

}  // namespace
}  // namespace kob::test
