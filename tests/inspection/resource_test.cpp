// The two pictures the gauges name: the committed bitmap files, and the
// resources a Windows build carries, read back with icoutils' wrestool.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "bitmap.h"
#include "built_files.h"
#include "command.h"

namespace kob::test {
namespace {

struct PictureExpectation {
    int resource;
    const char* file;  // in src/resources
    std::int32_t width, height;
    std::uint16_t bitsPerPixel;
    std::size_t paletteSize;
    PaletteEntry entry0;
    std::optional<PaletteEntry> otherEntries;
};

constexpr PaletteEntry black{0, 0, 0};
constexpr PaletteEntry darkGreen{0, 49, 0};
constexpr PaletteEntry white{255, 255, 255};

const PictureExpectation pictures[] = {
    {256, "sound_gauge.bmp", 10, 10, 8, 256, black, std::nullopt},
    {293, "debugger_gauge.bmp", 150, 25, 4, 16, darkGreen, white},
};

void expectPicture(const std::vector<std::uint8_t>& file, const PictureExpectation& expected) {
    Bitmap bitmap;
    try {
        bitmap = decodeBitmap(file);
    } catch (const std::exception& e) {
        FAIL() << "bitmap " << expected.resource << ": " << e.what();
    }
    EXPECT_EQ(bitmap.width, expected.width);
    EXPECT_EQ(bitmap.height, expected.height);
    EXPECT_EQ(bitmap.bitsPerPixel, expected.bitsPerPixel);
    EXPECT_EQ(bitmap.fileSize, file.size());
    ASSERT_EQ(bitmap.palette.size(), expected.paletteSize);
    EXPECT_EQ(bitmap.palette[0], expected.entry0);
    if (expected.otherEntries) {
        for (std::size_t i = 1; i < bitmap.palette.size(); ++i)
            EXPECT_EQ(bitmap.palette[i], *expected.otherEntries) << "palette entry " << i;
    }
    EXPECT_EQ(bitmap.pixels.size(), static_cast<std::size_t>(expected.width * expected.height));
    EXPECT_TRUE(std::all_of(bitmap.pixels.begin(), bitmap.pixels.end(), [](std::uint8_t p) { return p == 0; }))
        << "every pixel is palette index 0";
}

std::vector<std::uint8_t> committedFile(const PictureExpectation& picture) {
    const auto path = resourceSourceDir() / picture.file;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path.string() + ": cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CommittedPictures, HoldExactlyWhatTheGaugesShow) {
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.file);
        expectPicture(committedFile(picture), picture);
    }
}

class WindowsResources : public ::testing::TestWithParam<BuiltModule> {
protected:
    void SetUp() override {
        try {
            requireFile(GetParam());
            requireTool(resourceTool(), "icoutils");
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
    }
    std::string file() const { return GetParam().file.string(); }
};

TEST_P(WindowsResources, AreTheTwoBitmapsAndNothingElse) {
    // One line per resource: --type=2 --name=256 --language=1033 [...]
    static const std::regex entry(R"(--type=(\S+) --name=(\S+))");
    std::set<std::string> found;
    std::istringstream list(commandOutput({resourceTool(), "--list", file()}));
    for (std::string line; std::getline(list, line);) {
        std::smatch m;
        if (std::regex_search(line, m, entry)) found.insert(m[1].str() + "/" + m[2].str());
    }
    EXPECT_EQ(found, (std::set<std::string>{"2/256", "2/293"})) << "type 2 is a bitmap";
}

TEST_P(WindowsResources, BitmapsAreTheCommittedPictures) {
    for (const auto& picture : pictures) {
        SCOPED_TRACE("bitmap " + std::to_string(picture.resource));
        // wrestool gives a bitmap back with its file header, as a .bmp file.
        const std::string extracted = commandOutput(
            {resourceTool(), "--extract", "--type=2", "--name=" + std::to_string(picture.resource), file()});
        const std::vector<std::uint8_t> bytes(extracted.begin(), extracted.end());
        expectPicture(bytes, picture);
        EXPECT_EQ(bytes, committedFile(picture));
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, WindowsResources, ::testing::ValuesIn(windowsModules()),
                         [](const auto& test) { return testNameOf(test.param); });

}  // namespace
}  // namespace kob::test
