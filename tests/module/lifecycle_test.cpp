// The gauge callback's services and their order rules, without audio.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kob_platform/control.h"
#include "module/service_id.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

using Kind = host::LvarCall::Kind;

class Lifecycle : public ModuleFixture {
protected:
    std::vector<unsigned char> stateBytes() const {
        const auto* p = reinterpret_cast<const unsigned char*>(&state());
        std::vector<unsigned char> bytes(p, p + sizeof(GaugeState));
        const auto* s = reinterpret_cast<const unsigned char*>(&slot(0));
        bytes.insert(bytes.end(), s, s + sizeof(SoundSlot) * 101);
        return bytes;
    }
};

TEST_F(Lifecycle, ModuleInitRegistersPlayedThenIndicator) {
    ASSERT_GE(host->lvarCalls.size(), 2u);
    EXPECT_EQ(host->lvarCalls[0].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[0].name, "kob_volume_played");
    EXPECT_EQ(host->lvarCalls[1].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[1].name, "kob_sound_indicator");
    EXPECT_EQ(state().volumePlayedId, host->findLvar("kob_volume_played"));
    EXPECT_EQ(state().soundIndicatorId, host->findLvar("kob_sound_indicator"));
}

TEST_F(Lifecycle, StartValuesAreThoseOfALoadedModule) {
    EXPECT_EQ(state().configured, 0);
    EXPECT_EQ(state().slotCount, 100);
    EXPECT_EQ(state().simSoundState, -1);
    EXPECT_EQ(state().displayedSlot, 0);
    EXPECT_EQ(state().pauseProbe.number, 604);
    EXPECT_EQ(state().lastProbeValue, 0.0);
    EXPECT_EQ(state().globalModule, nullptr);
}

TEST_F(Lifecycle, OtherServiceIdsChangeNothing) {
    startWithIni("[Config]\nMaxSounds=3\n");
    const auto before = stateBytes();
    const auto callsBefore = host->lvarCalls.size();
    for (std::int32_t id : {0, 1, 5, 7, 8, 9, 10, 11, 12, 13, 14, 16, 100, -1, -6})
        module().service(id);
    EXPECT_EQ(stateBytes(), before);
    EXPECT_EQ(host->lvarCalls.size(), callsBefore);
}

TEST_F(Lifecycle, UpdateBeforeConfigureDoesNothing) {
    const auto before = stateBytes();
    host->lvarCalls.clear();
    service(ServiceId::update);
    EXPECT_EQ(stateBytes(), before);
    EXPECT_TRUE(host->lvarCalls.empty());
}

TEST_F(Lifecycle, OnlyTheFirstConfigureReadsAFile) {
    startWithIni("[Config]\nMaxSounds=3\n");
    const std::string firstPath = state().iniPath;
    const auto before = stateBytes();

    GaugeHeader otherInstance = module().soundGauge();
    const auto other = dir.write("other.ini", "[Config]\nMaxSounds=7\n").string();
    otherInstance.parameterString = other.c_str();
    module().service(ServiceId::configure, &otherInstance);
    service(ServiceId::configure);

    EXPECT_EQ(stateBytes(), before);
    EXPECT_EQ(state().iniPath, firstPath);
    EXPECT_EQ(state().slotCount, 3);
}

TEST_F(Lifecycle, NullParameterReadsTheDefaultPath) {
    dir.write("Gauges/kob_vorlo.ini", "[Config]\nMaxSounds=4\n");
    WorkingDirectory inside(dir.path());
    module().soundGauge().parameterString = nullptr;
    service(ServiceId::configure);
    EXPECT_EQ(state().configured, 1);
    EXPECT_STREQ(state().iniPath, "./Gauges/kob_vorlo.ini");
    EXPECT_EQ(state().slotCount, 4);
}

TEST_F(Lifecycle, RegisterVariablesRefreshesIdsAndResetsTheVolumeVariable) {
    startWithIni("[Config]\nMaxSounds=2\nVolumeVar=vol\n");
    host->set("vol", 42.0);
    slot(0).controlVarId = -7;
    slot(2).controlVarId = -9;
    state().volumePlayedId = -5;
    host->lvarCalls.clear();

    service(ServiceId::registerVariables);

    EXPECT_EQ(host->value("vol"), -1.0);
    EXPECT_EQ(state().volumePlayedId, host->findLvar("kob_volume_played"));
    EXPECT_EQ(state().volumeVarId, host->findLvar("vol"));
    EXPECT_EQ(slot(0).controlVarId, host->findLvar("kob_xml_id_00"));
    EXPECT_EQ(slot(1).controlVarId, host->findLvar("kob_xml_id_01"));
    EXPECT_EQ(slot(2).controlVarId, -9) << "the stop slot is not refreshed here";
    ASSERT_GE(host->lvarCalls.size(), 3u);
    EXPECT_EQ(host->lvarCalls[0].name, "kob_volume_played");
    EXPECT_EQ(host->lvarCalls[1].name, "vol");
    EXPECT_EQ(host->lvarCalls[2].kind, Kind::Set);
}

TEST_F(Lifecycle, RegisterVariablesBeforeConfigureLooksUpEmptyNames) {
    service(ServiceId::registerVariables);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(slot(i).controlVarId, -1) << i;

    startWithIni("[Config]\nMaxSounds=2\n");
    EXPECT_EQ(slot(0).controlVarId, host->findLvar("kob_xml_id_00"));
    EXPECT_EQ(slot(1).controlVarId, host->findLvar("kob_xml_id_01"));
}

TEST_F(Lifecycle, SetupTakesTheSimulatorModuleWhenLoaded) {
    service(ServiceId::setup);
    EXPECT_EQ(state().globalModule, nullptr);
    // A second setup replaces the device without releasing the first, as
    // designed; the test gives that one up itself.
    IDirectSound* const firstDevice = *access().audioDevice;

    char simulatorMemory[8192] = {};
    HMODULE global = platform::registerModule("GLOBAL.DLL", {{"Linkage", simulatorMemory}});
    service(ServiceId::setup);
    EXPECT_EQ(state().globalModule, global);
    if (firstDevice) firstDevice->Release();
}

TEST_F(Lifecycle, ShutdownWithNoSlotsClosesTheCheckFile) {
    startWithIni("[Config]\nMaxSounds=0\n");
    state().wavCheckFile = std::fopen(dir.write("probe.wav", "x").c_str(), "r");
    ASSERT_NE(state().wavCheckFile, nullptr);
    service(ServiceId::shutdown);
    EXPECT_EQ(state().wavCheckFile, nullptr);
    EXPECT_EQ(state().configured, 1) << "shutdown resets no field";
}

}  // namespace
}  // namespace kob::test
