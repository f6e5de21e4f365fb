// The portable profile reader on tricky INI files: what the configuration
// reading relies on (defaults, empty values, truncation, integers) and the
// file conventions designers' files were written against.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "kob_platform/win32.h"
#include "temp_dir.h"

namespace kob::test {
namespace {

// Written with LF line ends; the tests also read it with CRLF, without the
// final line end and behind a UTF-8 byte order mark.
constexpr const char* trickyFile =
    "; a comment before any section\n"
    "Orphan = before any section\n"
    "\n"
    "[Config]\n"
    "MaxSounds = 12\n"
    "  VolumeVar\t=\ttabbed value\t\n"
    "Empty=\n"
    "Blank =    \n"
    "Quoted = \"  padded  \"\n"
    "Single = 'single'\n"
    "Unmatched = \"open\n"
    "Mixed = \"a'\n"
    "Lone = \"\n"
    "EmptyQuotes = \"\"\n"
    "Inner = say \"hi\"\n"
    "Inline = value ; not a comment\n"
    "Equals = a=b=c\n"
    "no equals sign here\n"
    "Key With Spaces = inner\n"
    "Repeated = first\n"
    "Repeated = second\n"
    ";Commented = hidden\n"
    "   ; Indented = hidden\n"
    "[ Sounds ]\n"
    "Sound01 = a.wav,50\n"
    "[config]\n"
    "Late = only in the repeated section\n"
    "MaxSounds = 99\n"
    "[Unclosed\n"
    "Inside = unclosed section\n"
    "[Tail] trailing text\n"
    "After = tail";

struct Variant {
    const char* name;
    std::string bytes;
};

std::string withCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::vector<Variant> trickyVariants() {
    const std::string lf = trickyFile;
    return {
        {"LF, no final line end", lf},
        {"LF, final line end", lf + "\n"},
        {"CRLF, no final line end", withCrlf(lf)},
        {"CRLF, final line end", withCrlf(lf + "\n")},
        {"byte order mark, CRLF", "\xEF\xBB\xBF" + withCrlf(lf + "\n")},
    };
}

struct TextCase {
    const char* section;
    const char* key;
    const char* expected;  // null: the default, "<default>"
};

constexpr TextCase textCases[] = {
    {"Config", "MaxSounds", "12"},
    {"CONFIG", "maxsounds", "12"},
    {"Config", "VolumeVar", "tabbed value"},
    {"Config", "Empty", ""},
    {"Config", "Blank", ""},
    {"Config", "Quoted", "  padded  "},
    {"Config", "Single", "single"},
    {"Config", "Unmatched", "\"open"},
    {"Config", "Mixed", "\"a'"},
    {"Config", "Lone", "\""},
    {"Config", "EmptyQuotes", ""},
    {"Config", "Inner", "say \"hi\""},
    {"Config", "Inline", "value ; not a comment"},
    {"Config", "Equals", "a=b=c"},
    {"Config", "no equals sign here", nullptr},
    {"Config", "Key With Spaces", "inner"},
    {"Config", "key with spaces", "inner"},
    {"Config", "KeyWithSpaces", nullptr},
    {"Config", "Repeated", "first"},
    {"Config", "Commented", nullptr},
    // ';' marks no comment: the line is the key ";Commented".
    {"Config", ";Commented", "hidden"},
    {"Config", "Indented", nullptr},
    {"Config", "Late", nullptr},
    {"Config", "Sound01", nullptr},
    {"Config", "Orphan", nullptr},
    {"", "Orphan", "before any section"},
    {"Sounds", "Sound01", "a.wav,50"},
    {"Sounds", "MaxSounds", nullptr},
    // Without ']' the line starts no section.
    {"Unclosed", "Inside", nullptr},
    {"Tail", "After", "tail"},
    {"Missing", "MaxSounds", nullptr},
    {"Config", "Missing", nullptr},
};

TEST(ProfileString, ReadsTrickyFileWithEveryLineEnd) {
    TempDir dir;
    for (const Variant& variant : trickyVariants()) {
        SCOPED_TRACE(variant.name);
        const std::string path = dir.write("tricky.ini", variant.bytes).string();
        for (const TextCase& c : textCases) {
            SCOPED_TRACE(std::string(c.section) + "/" + c.key);
            const std::string expected = c.expected ? c.expected : "<default>";
            char buffer[64];
            std::memset(buffer, '#', sizeof buffer);
            const DWORD count =
                GetPrivateProfileStringA(c.section, c.key, "<default>", buffer, sizeof buffer, path.c_str());
            EXPECT_EQ(std::string(buffer), expected);
            EXPECT_EQ(count, expected.size());
        }
    }
}

// Editors on Windows often save UTF-8 with a byte order mark; the section on
// the first line must still be found.
TEST(ProfileString, ByteOrderMarkBeforeFirstSection) {
    TempDir dir;
    const char* const files[] = {
        "\xEF\xBB\xBF[Config]\nMaxSounds=12\n",
        "\xEF\xBB\xBF[Config]\r\nMaxSounds=12",
        "\xEF\xBB\xBF  [Config]\nMaxSounds=12\n",
    };
    for (const char* bytes : files) {
        SCOPED_TRACE(bytes);
        const std::string path = dir.write("bom.ini", bytes).string();
        char buffer[8];
        EXPECT_EQ(GetPrivateProfileStringA("Config", "MaxSounds", "100", buffer, sizeof buffer, path.c_str()), 2u);
        EXPECT_STREQ(buffer, "12");
    }
}

TEST(ProfileString, MissingFileGivesDefault) {
    TempDir dir;
    const std::string missing = (dir.path() / "absent.ini").string();
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("Config", "MaxSounds", "100", buffer, sizeof buffer, missing.c_str()), 3u);
    EXPECT_STREQ(buffer, "100");
    EXPECT_EQ(GetPrivateProfileStringA("Config", "MaxSounds", "100", buffer, sizeof buffer, ""), 3u);
    EXPECT_STREQ(buffer, "100");
    EXPECT_EQ(GetPrivateProfileStringA("Config", "MaxSounds", "100", buffer, sizeof buffer, nullptr), 3u);
    EXPECT_STREQ(buffer, "100");
}

TEST(ProfileString, DefaultsAreNormalised) {
    TempDir dir;
    const std::string path = dir.write("a.ini", "[Config]\nKey=value\n").string();
    struct Case {
        const char* section;
        const char* key;
        const char* defaultValue;
        const char* expected;
    };
    const Case cases[] = {
        {"Config", "Missing", nullptr, ""},
        {"Config", "Missing", "kept  ", "kept"},
        {"Config", "Missing", "  lead", "  lead"},
        {nullptr, "Key", "dflt", "dflt"},
        {"Config", nullptr, "dflt", "dflt"},
        {"Config", "", "dflt", "dflt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultValue ? c.defaultValue : "(null default)");
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        const DWORD count = GetPrivateProfileStringA(c.section, c.key, c.defaultValue, buffer, sizeof buffer,
                                                     path.c_str());
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(count, std::strlen(c.expected));
    }
}

// A value longer than the buffer is cut to the buffer's size less one; the
// return value counts what was copied, and nothing past the buffer is written.
TEST(ProfileString, TruncatesToBufferSize) {
    TempDir dir;
    const std::string path = dir.write("long.ini", "[S]\nKey = abcdef\n").string();
    struct Case {
        const char* key;
        DWORD size;
        const char* expected;
    };
    const Case cases[] = {
        {"Key", 1, ""},         {"Key", 2, "a"},          {"Key", 6, "abcde"},     {"Key", 7, "abcdef"},
        {"Key", 32, "abcdef"},  {"Missing", 2, "x"},      {"Missing", 3, "xy"},    {"Missing", 4, "xyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " size " + std::to_string(c.size));
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        const DWORD count = GetPrivateProfileStringA("S", c.key, "xyz", buffer, c.size, path.c_str());
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(count, std::strlen(c.expected));
        for (std::size_t i = c.size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << "written at " << i;
    }
}

TEST(ProfileString, ZeroSizeOrNullBufferWritesNothing) {
    TempDir dir;
    const std::string path = dir.write("a.ini", "[S]\nKey=value\n").string();
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(GetPrivateProfileStringA("S", "Key", "d", buffer, 0, path.c_str()), 0u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(GetPrivateProfileStringA("S", "Key", "d", nullptr, 4, path.c_str()), 0u);
}

// The file name is a Windows path, as a designer writes it in the panel.
TEST(ProfileString, FindsFileByWindowsPath) {
    TempDir dir;
    dir.write("gauges/kob_vorlo.ini", "[Config]\nMaxSounds=7\n");
    WorkingDirectory here(dir.path());
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("Config", "MaxSounds", "100", buffer, sizeof buffer,
                                       ".\\Gauges\\KOB_VORLO.INI"),
              1u);
    EXPECT_STREQ(buffer, "7");
}

constexpr const char* integerFile =
    "[Ints]\n"
    "Plain=42\n"
    "Negative=-1\n"
    "Plus=+7\n"
    "LeadingZeros=007\n"
    "Trailing=12abc\n"
    "Letters=abc\n"
    "Empty=\n"
    "Blank=   \n"
    "SignOnly=-\n"
    "SpaceAfterSign=- 5\n"
    "DoubleSign=--5\n"
    "Quoted=\"-3\"\n"
    "QuotedSpace=\" 8\"\n"
    "QuotedEmpty=\"\"\n"
    "Hex=0x10\n"
    "Fraction=3.9\n"
    "Comma=50,60\n"
    "Max=2147483647\n"
    "Min=-2147483648\n"
    "Huge=99999999999\n"
    "HugeNegative=-99999999999\n"
    "Padded =   15   \r\n"
    "Tabbed\t=\t-6\t\r\n";

TEST(ProfileInt, ReadsLeadingSignAndDigits) {
    TempDir dir;
    const std::string path = dir.write("ints.ini", integerFile).string();
    struct Case {
        const char* section;
        const char* key;
        INT expected;
    };
    constexpr INT dflt = 77;
    const Case cases[] = {
        {"Ints", "Plain", 42},
        {"ints", "PLAIN", 42},
        {"Ints", "Negative", -1},
        {"Ints", "Plus", 7},
        {"Ints", "LeadingZeros", 7},
        {"Ints", "Trailing", 12},
        {"Ints", "Letters", 0},
        {"Ints", "Empty", dflt},
        {"Ints", "Blank", dflt},
        {"Ints", "SignOnly", 0},
        {"Ints", "SpaceAfterSign", 0},
        {"Ints", "DoubleSign", 0},
        {"Ints", "Quoted", -3},
        {"Ints", "QuotedSpace", 8},
        {"Ints", "QuotedEmpty", dflt},
        {"Ints", "Hex", 16},
        {"Ints", "Fraction", 3},
        {"Ints", "Comma", 50},
        {"Ints", "Max", 2147483647},
        {"Ints", "Min", -2147483647 - 1},
        // Beyond 32 bits the value wraps around.
        {"Ints", "Huge", static_cast<INT>(static_cast<std::uint32_t>(99999999999ull))},
        {"Ints", "HugeNegative", static_cast<INT>(0u - static_cast<std::uint32_t>(99999999999ull))},
        {"Ints", "Padded", 15},
        {"Ints", "Tabbed", -6},
        {"Ints", "Missing", dflt},
        {"Missing", "Plain", dflt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntA(c.section, c.key, dflt, path.c_str())), c.expected);
    }
}

TEST(ProfileInt, MissingFileGivesDefaultEvenWhenNegative) {
    TempDir dir;
    const std::string missing = (dir.path() / "absent.ini").string();
    EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntA("Config", "ErrorFlag", -5, missing.c_str())), -5);
    EXPECT_EQ(GetPrivateProfileIntA("Config", "ResetVolumeVar", 1, missing.c_str()), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("Config", "ResetVolumeVar", 1, nullptr), 1u);
}

}  // namespace
}  // namespace kob::test
