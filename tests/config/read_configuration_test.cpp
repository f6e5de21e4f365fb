// Reading the INI file into the slot table and the settings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "module/service_id.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

using Kind = host::LvarCall::Kind;

class ReadConfiguration : public ModuleFixture {};

struct MaxSoundsCase {
    const char* ini;
    int slotCount;
};

TEST_F(ReadConfiguration, MaxSoundsBecomesTheSlotCount) {
    const std::vector<MaxSoundsCase> cases = {
        {"[Config]\nMaxSounds=3\n", 3},      {"[Config]\nMaxSounds=0\n", 0},
        {"[Config]\nMaxSounds=250\n", 100},  {"[Config]\nMaxSounds=12345\n", 100},
        {"[Config]\nMaxSounds=7x\n", 7},     {"[Config]\nMaxSounds=\n", 0},
        {"[Config]\nOther=1\n", 100},        {"[Config]\nMaxSounds=-5\n", 0},
        {"[Config]\nMaxSounds=abc\n", 0},    {"[Config]\nMaxSounds=100\n", 100},
        {"[Config]\nMaxSounds=+12\n", 12},   {"[Config]\nMaxSounds=-0\n", 0},
    };
    for (const auto& c : cases) {
        const auto path = dir.write("case.ini", c.ini);
        access().readConfiguration(path.c_str());
        EXPECT_EQ(state().slotCount, c.slotCount) << c.ini;
        EXPECT_EQ(state().displayedSlot, c.slotCount) << "the debugger opens on the configuration page";
        EXPECT_STREQ(slot(c.slotCount).controlVarName, "kob_stop_sounds") << "the stop slot follows the sound slots";
    }
}

TEST_F(ReadConfiguration, MaxSoundsZeroReadsNoSlotKey) {
    startWithIni("[Config]\nMaxSounds=0\n[LVars]\nLvar00=never\n");
    EXPECT_EQ(state().slotCount, 0);
    EXPECT_FALSE(host->hasLvar("never"));
    EXPECT_FALSE(host->hasLvar("kob_xml_id_00"));
    EXPECT_EQ(slot(0).controlVarId, host->findLvar("kob_stop_sounds"));
}

TEST_F(ReadConfiguration, ErrorFlagIsMinusOneOrZero) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"[Config]\nErrorFlag=-1\n", -1}, {"[Config]\nErrorFlag=1\n", 0},
        {"[Config]\nErrorFlag=-2\n", 0},  {"[Config]\n", 0},
        {"[Config]\nErrorFlag=0\n", 0},
    };
    for (const auto& [ini, expected] : cases) {
        access().readConfiguration(dir.write("case.ini", ini).c_str());
        EXPECT_EQ(state().errorFlag, expected) << ini;
    }
}

TEST_F(ReadConfiguration, ResetVolumeVarIsReadAsItStands) {
    const std::vector<std::pair<const char*, int>> cases = {
        {"[Config]\n", 1}, {"[Config]\nResetVolumeVar=0\n", 0}, {"[Config]\nResetVolumeVar=5\n", 5},
        {"[Config]\nResetVolumeVar=-3\n", -3},
    };
    for (const auto& [ini, expected] : cases) {
        access().readConfiguration(dir.write("case.ini", ini).c_str());
        EXPECT_EQ(state().resetVolumeVar, expected) << ini;
    }
}

struct SoundCase {
    const char* value;
    const char* wavPath;
    float volume;
};

TEST_F(ReadConfiguration, SoundValueGivesPathAndLevel) {
    const std::vector<SoundCase> cases = {
        {"engine.wav,50", "engine.wav", -5000.0f},
        {"engine.wav", "engine.wav", 0.0f},
        {"engine.wav,", "engine.wav", -10000.0f},
        {",95", "", -500.0f},
        {"a.wav,50,60", "a.wav", -5000.0f},
        {"x.wav,150", "x.wav", 5000.0f},
        {"x.wav,-10", "x.wav", -11000.0f},
        {"x.wav,100", "x.wav", 0.0f},
        {"x.wav,0", "x.wav", -10000.0f},
        {"x.wav, 75.5", "x.wav", -2450.0f},
        {"x.wav,1e1", "x.wav", -9000.0f},
        {"x.wav,inf", "x.wav", -10000.0f},
        {"x.wav,abc", "x.wav", -10000.0f},
        {".\\Sound\\KOB\\File.WAV,99.5", ".\\Sound\\KOB\\File.WAV", -50.0f},
    };
    for (const auto& c : cases) {
        const std::string ini = std::string("[Config]\nMaxSounds=4\n[Sounds]\nSound03=") + c.value + "\n";
        access().readConfiguration(dir.write("case.ini", ini).c_str());
        EXPECT_STREQ(slot(3).wavPath, c.wavPath) << c.value;
        EXPECT_EQ(slot(3).volume, c.volume) << c.value;
    }
}

TEST_F(ReadConfiguration, LevelArithmeticRoundsThroughSinglePrecision) {
    // (x - 100) rounded to float, times 100 in double, rounded to float again.
    access().readConfiguration(dir.write("case.ini", "[Config]\nMaxSounds=1\n[Sounds]\nSound00=a.wav,33.3\n").c_str());
    const float offset = static_cast<float>(33.3 - 100.0);
    EXPECT_EQ(slot(0).volume, static_cast<float>(static_cast<double>(offset) * 100.0));
}

TEST_F(ReadConfiguration, DefaultsNameEverySlotAndRegisterFromTheTop) {
    host->lvarCalls.clear();
    startWithIni("[Config]\nMaxSounds=3\n");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::string(slot(i).wavPath), "./Sound/kob/kob_xml_0" + std::to_string(i) + ".wav");
        EXPECT_EQ(std::string(slot(i).controlVarName), "kob_xml_id_0" + std::to_string(i));
        EXPECT_EQ(slot(i).volume, 0.0f);
        EXPECT_EQ(slot(i).controlVarId, host->findLvar(slot(i).controlVarName));
    }
    EXPECT_STREQ(slot(3).controlVarName, "kob_stop_sounds");
    EXPECT_STREQ(state().volumeVarName, "kob_vorlo_volume");

    std::vector<std::pair<Kind, std::string>> configureCalls;
    for (const auto& call : host->lvarCalls) {
        if (call.kind == Kind::Register || call.kind == Kind::Find) configureCalls.emplace_back(call.kind, call.name);
        if (call.name == "kob_stop_sounds" && call.kind == Kind::Find) break;
    }
    const std::vector<std::pair<Kind, std::string>> expected = {
        {Kind::Register, "kob_vorlo_volume"},
        {Kind::Register, "kob_xml_id_02"}, {Kind::Find, "kob_xml_id_02"},
        {Kind::Register, "kob_xml_id_01"}, {Kind::Find, "kob_xml_id_01"},
        {Kind::Register, "kob_xml_id_00"}, {Kind::Find, "kob_xml_id_00"},
        {Kind::Register, "kob_stop_sounds"}, {Kind::Find, "kob_stop_sounds"},
    };
    EXPECT_EQ(configureCalls, expected);
}

TEST_F(ReadConfiguration, KeysAreNumberedWithTwoDigits) {
    startWithIni(
        "[Config]\nMaxSounds=43\n[Sounds]\nSound07=seven.wav\nSound42=fortytwo.wav,10\nSound7=wrong.wav\n"
        "[LVars]\nLvar07=seven_var\nLvar42=fortytwo_var\n");
    EXPECT_STREQ(slot(7).wavPath, "seven.wav");
    EXPECT_STREQ(slot(42).wavPath, "fortytwo.wav");
    EXPECT_EQ(slot(42).volume, -9000.0f);
    EXPECT_STREQ(slot(7).controlVarName, "seven_var");
    EXPECT_STREQ(slot(42).controlVarName, "fortytwo_var");
    EXPECT_STREQ(slot(8).controlVarName, "kob_xml_id_08");
    EXPECT_STREQ(slot(10).wavPath, "./Sound/kob/kob_xml_10.wav");
}

TEST_F(ReadConfiguration, VolumeAndStopVariablesFallBackWhenEmpty) {
    startWithIni("[Config]\nMaxSounds=1\nVolumeVar=\nLvarStop=\n");
    EXPECT_STREQ(state().volumeVarName, "kob_vorlo_volume");
    EXPECT_STREQ(slot(1).controlVarName, "kob_stop_sounds");

    access().readConfiguration(dir.write("b.ini", "[Config]\nMaxSounds=1\nVolumeVar=myvol\nLvarStop=mystop\n").c_str());
    EXPECT_STREQ(state().volumeVarName, "myvol");
    EXPECT_EQ(state().volumeVarId, host->findLvar("myvol"));
    EXPECT_STREQ(slot(1).controlVarName, "mystop");
    EXPECT_EQ(slot(1).controlVarId, host->findLvar("mystop"));
}

TEST_F(ReadConfiguration, LongValuesAreCutToTheirLimits) {
    const std::string longName(200, 'n');
    const std::string longVolume(200, 'v');
    startWithIni("[Config]\nMaxSounds=1\nVolumeVar=" + longVolume + "\nLvarStop=" + longName + "\n[Sounds]\nSound00=" +
                 std::string(200, 'p') + "\n[LVars]\nLvar00=" + longName + "\n");
    EXPECT_EQ(std::strlen(slot(0).wavPath), 127u);
    EXPECT_EQ(std::strlen(slot(0).controlVarName), 127u);
    EXPECT_EQ(std::strlen(slot(1).controlVarName), 127u);
    EXPECT_EQ(std::strlen(state().volumeVarName), 129u);
}

TEST_F(ReadConfiguration, OverLongParameterIsCutToFitThePath) {
    const std::string parameter = (dir.path() / std::string(300, 'c')).string();
    access().readConfiguration(parameter.c_str());
    EXPECT_EQ(std::string(state().iniPath), parameter.substr(0, 129));
    EXPECT_EQ(state().slotCount, 100) << "a path that names no file gives the defaults";
}

TEST_F(ReadConfiguration, EmptyParameterReadsTheDefaultPath) {
    dir.write("Gauges/kob_vorlo.ini", "[Config]\nMaxSounds=2\n");
    WorkingDirectory inside(dir.path());
    access().readConfiguration("");
    EXPECT_STREQ(state().iniPath, "./Gauges/kob_vorlo.ini");
    EXPECT_EQ(state().slotCount, 2);
}

TEST_F(ReadConfiguration, MissingFileGivesAllDefaults) {
    access().readConfiguration((dir.path() / "absent.ini").c_str());
    EXPECT_EQ(state().slotCount, 100);
    EXPECT_EQ(state().errorFlag, 0);
    EXPECT_EQ(state().resetVolumeVar, 1);
    EXPECT_STREQ(slot(99).wavPath, "./Sound/kob/kob_xml_99.wav");
    EXPECT_STREQ(slot(99).controlVarName, "kob_xml_id_99");
    EXPECT_STREQ(slot(100).controlVarName, "kob_stop_sounds");
}

TEST_F(ReadConfiguration, ZeroesSlotsUpToTheStopSlotOnly) {
    for (int i = 0; i <= 100; ++i) {
        slot(i).loaded = 1;
        slot(i).started = 1;
        slot(i).command = 7;
        slot(i).playMode = 2;
    }
    access().readConfiguration(dir.write("a.ini", "[Config]\nMaxSounds=2\n").c_str());
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(slot(i).loaded, 0) << i;
        EXPECT_EQ(slot(i).started, 0) << i;
        EXPECT_EQ(slot(i).command, 0) << i;
        EXPECT_EQ(slot(i).playMode, 0) << i;
    }
    EXPECT_STREQ(slot(2).wavPath, "") << "the stop slot keeps an empty path";
    EXPECT_EQ(slot(3).loaded, 1) << "records beyond the stop slot stay as they were";
    EXPECT_EQ(slot(3).command, 7);
}

}  // namespace
}  // namespace kob::test
