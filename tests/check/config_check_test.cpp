// kob-bench check on INI files: one case per kind of finding, each with the
// line it points at, and a clean configuration that gives none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config_check.h"
#include "kob_platform/control.h"
#include "temp_dir.h"
#include "wav_builder.h"

namespace kob::host {
namespace {

using test::WaveFormat;

struct Case {
    const char* name;
    std::string ini;
    std::size_t line;     // of the one finding expected
    const char* message;  // a part of it
};

const std::string sounds = "[Sounds]\nSound00=a.wav\nSound01=b.wav\n";  // both exist
const std::string lvars = "[LVars]\nLvar00=one\nLvar01=two\n";
std::string config(const std::string& lines) { return "[Config]\nMaxSounds=2\n" + lines; }

std::vector<Case> cases() {
    const std::string longPath = std::string(124, 'x') + ".wav";  // 128 characters
    return {
        {"missing_wav", config("") + "[Sounds]\nSound00=a.wav\nSound01=gone.wav\n" + lvars, 5,
         "Sound01: WAV file not found: gone.wav"},
        {"missing_default_wav", "[Config]\nMaxSounds=3\n" + sounds + "[LVars]\nLvar02=three\n", 7,
         "default path): WAV file not found: ./Sound/kob/kob_xml_02.wav"},
        {"not_a_wav", config("") + "[Sounds]\nSound00=a.wav\nSound01=text.wav\n" + lvars, 5,
         "text.wav: not a WAV file"},
        {"not_pcm", config("") + "[Sounds]\nSound00=float.wav\nSound01=b.wav\n" + lvars, 4, "not PCM"},
        {"data_past_end", config("") + "[Sounds]\nSound00=a.wav\nSound01=cut.wav\n" + lvars, 5,
         "the file ends after"},
        {"same_variable", config("") + sounds + "[LVars]\nLvar00=gear\nLvar01=gear\n", 8,
         "slots 0 and 1 share the variable gear"},
        {"same_variable_in_other_case", config("") + sounds + "[LVars]\nLvar00=Gear\nLvar01=gEAR\n", 8,
         "names differ only in case"},
        {"same_as_a_default", config("") + sounds + "[LVars]\nLvar00=kob_xml_id_01\n", 7,
         "slots 0 and 1 share the variable kob_xml_id_01"},
        {"stop_is_a_slot", config("LvarStop=two\n") + sounds + lvars, 3, "the stop variable two is also slot 1"},
        {"volume_is_a_slot", config("VolumeVar=one\n") + sounds + lvars, 3, "the volume variable one is also slot 0"},
        {"sound_beyond_max", config("") + sounds + "Sound02=c.wav\n" + lvars, 6, "Sound02 is never read: MaxSounds gives 2"},
        {"lvar_beyond_max", config("") + sounds + lvars + "Lvar05=five\n", 9, "Lvar05 is never read"},
        {"one_digit_key", config("") + sounds + lvars + "Lvar1=x\n", 9, "slot keys have two digits: Lvar01"},
        {"unknown_config_key", config("MaxSound=5\n") + sounds + lvars, 3, "MaxSound is not a key the module reads"},
        {"level_above_100", config("") + "[Sounds]\nSound00=a.wav,150\nSound01=b.wav\n" + lvars, 4,
         "level 150 is outside 0 to 100"},
        {"level_below_0", config("") + "[Sounds]\nSound00=a.wav\nSound01=b.wav,-5\n" + lvars, 5,
         "level -5 is outside 0 to 100"},
        {"level_not_a_number", config("") + "[Sounds]\nSound00=a.wav,loud\nSound01=b.wav\n" + lvars, 4,
         "(\"loud\") is not a number"},
        {"level_missing", config("") + "[Sounds]\nSound00=a.wav,\nSound01=b.wav\n" + lvars, 4, "is not a number"},
        {"path_too_long", config("") + "[Sounds]\nSound00=a.wav\nSound01=" + longPath + "\n" + lvars, 5,
         "Sound01 is 128 characters long: the module keeps the first 127"},
        {"name_too_long", config("") + sounds + "[LVars]\nLvar00=one\nLvar01=" + std::string(128, 'v') + "\n", 8,
         "Lvar01 is 128 characters long"},
        {"volume_name_too_long", config("VolumeVar=" + std::string(130, 'v') + "\n") + sounds + lvars, 3,
         "VolumeVar is 130 characters long: the module keeps 129"},
        {"comment_in_name", config("") + sounds + "[LVars]\nLvar00=one ; the engine\nLvar01=two\n", 7,
         "a ';' inside a value is part of it"},
        {"max_sounds_word", "[Config]\nMaxSounds=all\n[LVars]\n", 2, "not a number: the module makes 0 sound slots"},
        {"max_sounds_empty", "[Config]\nMaxSounds=\n", 2, "MaxSounds is empty"},
        {"max_sounds_above_100", "[Config]\nMaxSounds=250\n", 2, "above 100: the module makes 100 sound slots"},
        {"max_sounds_five_characters", "[Config]\nMaxSounds=12345\n", 2, "only its first 4 characters are read"},
        {"max_sounds_negative", "[Config]\nMaxSounds=-3\n", 2, "negative"},
        {"max_sounds_trailing_text", "[Config]\nMaxSounds=2x\n" + sounds + lvars, 2,
         "not a whole number: read as 2 sound slots"},
        {"error_flag_1", config("ErrorFlag=1\n") + sounds + lvars, 3, "ErrorFlag=1 counts as 0"},
        {"error_flag_word", config("ErrorFlag=yes\n") + sounds + lvars, 3, "ErrorFlag=yes is not a whole number"},
        // "[LVars" without its ']' starts no section: its keys stay in [Sounds].
        {"unclosed_section", config("") + sounds + "[LVars\nLvar00=one\n", 7,
         "Lvar00 is not a key the module reads in [Sounds]"},
        {"repeated_section", config("") + sounds + lvars + "[Sounds]\nSound01=c.wav\n", 9,
         "[Sounds] appears again: only the first (line 3) is read"},
        {"repeated_key", config("") + sounds + "Sound00=c.wav\n" + lvars, 6,
         "Sound00 appears again in [Sounds]: only the first (line 4) counts"},
    };
}

class ConfigCheckTest : public testing::TestWithParam<Case> {
protected:
    ConfigCheckTest() {
        const WaveFormat mono16 = WaveFormat::pcm(1, 22050, 16);
        const std::string tone = test::toneSamples(mono16, 400);
        dir.write("root/a.wav", test::wavFile(mono16, tone));
        dir.write("root/b.wav", test::wavFile(mono16, tone));
        dir.write("root/text.wav", "RIFX, not a WAV file");
        WaveFormat floating = WaveFormat::pcm(1, 22050, 16);
        floating.formatTag = 3;
        dir.write("root/float.wav", test::wavFile(floating, tone));
        dir.write("root/cut.wav", test::RiffBuilder().fmt(mono16).data(tone, {.declaredSize = 100000}).build());
    }
    void TearDown() override { platform::reset(); }
    ConfigCheck check(const std::string& ini) { return checkConfiguration(dir.write("kob.ini", ini), dir.path() / "root"); }
    test::TempDir dir;
};

std::string listed(const ConfigCheck& check) {
    std::string text;
    for (const auto& f : check.findings) text += std::to_string(f.line) + ": " + f.message + "\n";
    return text;
}

// The finding is there, on its line, and nothing is reported elsewhere (a
// path cut short may also name no file, on the same line).
TEST_P(ConfigCheckTest, FindsTheProblemOnItsLine) {
    const Case& c = GetParam();
    const ConfigCheck result = check(c.ini);
    ASSERT_FALSE(result.findings.empty());
    bool found = false;
    for (const auto& f : result.findings) {
        EXPECT_EQ(f.line, c.line) << listed(result);
        found = found || f.message.find(c.message) != std::string::npos;
    }
    EXPECT_TRUE(found) << "wanted: " << c.message << "\n" << listed(result);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ConfigCheckTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST_F(ConfigCheckTest, ACleanConfigurationHasNoFindings) {
    const ConfigCheck result =
        check("; comment\n[config]\nmaxsounds=2\nErrorFlag=-1\nResetVolumeVar=0\nVolumeVar=vol\nLvarStop=stop\n"
              "[Sounds]\nSound00=a.wav,80\nSOUND01=.\\B.WAV,0\n[LVars]\nLvar00=\"one\"\nLvar01=two\n[Other]\nx=1\n");
    EXPECT_TRUE(result.findings.empty()) << listed(result);
    EXPECT_EQ(result.slotCount, 2);
    EXPECT_EQ(result.wavFilesChecked, 2u);
}

TEST_F(ConfigCheckTest, SlotsTheIniDoesNotNameAreNotChecked) {
    // 100 slots by default; only the two named ones have files to check.
    const ConfigCheck result = check(sounds + lvars);
    EXPECT_TRUE(result.findings.empty()) << listed(result);
    EXPECT_EQ(result.slotCount, 100);
    EXPECT_EQ(result.wavFilesChecked, 2u);
}

TEST_F(ConfigCheckTest, FindingsComeInLineOrder) {
    const ConfigCheck result = check("[Config]\nMaxSounds=1\nErrorFlag=2\n[Sounds]\nSound00=gone.wav,200\nSound03=x\n");
    std::vector<std::size_t> lines;
    for (const auto& f : result.findings) lines.push_back(f.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{3, 5, 5, 6})) << listed(result);
}

TEST_F(ConfigCheckTest, UnusableInputIsAnError) {
    EXPECT_THROW(checkConfiguration(dir.path() / "none.ini", dir.path()), CheckInputError);
    EXPECT_THROW(checkConfiguration(dir.write("kob.ini", sounds), dir.path() / "no_root"), CheckInputError);
}

TEST(LeadingDecimal, ReadsAsTheModuleReadsALevel) {
    const std::pair<const char*, std::optional<double>> table[] = {
        {"80", 80.0}, {" 75.5", 75.5}, {"+1e2", 100.0}, {"50,60", 50.0}, {"-5", -5.0}, {".5", 0.5},
        {"1e", 1.0},  {"", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt}, {"0x10", 0.0},
        {"-", std::nullopt}, {"loud", std::nullopt}};
    for (const auto& [text, value] : table) EXPECT_EQ(leadingDecimal(text), value) << text;
}

}  // namespace
}  // namespace kob::host
