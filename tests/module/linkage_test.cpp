// The exported records as the host uses them: moduleInit and moduleDeinit
// through Linkage, and the seven gauge routines through either gauge header.
#include <gtest/gtest.h>

#include <string>

#include "module_fixture.h"

namespace kob::test {
namespace {

using Kind = host::LvarCall::Kind;

class Linkage : public ModuleFixture {};

TEST_F(Linkage, RecordsAsTheHostFindsThemAfterLoading) {
    const LinkageRecord& linkage = module().linkage();
    EXPECT_EQ(linkage.moduleId, 0x13u);
    EXPECT_EQ(linkage.version, 0x0900u);
    EXPECT_EQ(linkage.gaugeTable[2], nullptr);
    EXPECT_STREQ(linkage.gaugeTable[0]->name, "kob_vorlo3");
    EXPECT_STREQ(linkage.gaugeTable[1]->name, "debugger");

    const ImportTableRecord& imports = module().importTable();
    EXPECT_EQ(imports.entries[0].id, 0x0Fu);
    EXPECT_EQ(imports.entries[0].pointer, host->services()) << "the loader wrote the service table's address";
    EXPECT_EQ(imports.entries[1].id, 0u);
    EXPECT_EQ(imports.entries[1].pointer, nullptr);

    const GaugeHeader& sound = module().soundGauge();
    const auto& image = *static_cast<const ImageElement*>(sound.elementList[0]);
    EXPECT_EQ(image.kind, 0);
    EXPECT_EQ(image.resourceId, 256);
    EXPECT_EQ(image.gauge, &sound);
    EXPECT_EQ(image.nextElements, nullptr);
    EXPECT_EQ(image.flags, 0x83u);
}

TEST_F(Linkage, ModuleInitRegistersThePlayedVariableThenTheIndicatorAndNothingElse) {
    host->lvarCalls.clear();
    module().linkage().moduleInit();
    ASSERT_EQ(host->lvarCalls.size(), 2u);
    EXPECT_EQ(host->lvarCalls[0].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[0].name, "kob_volume_played");
    EXPECT_EQ(host->lvarCalls[1].kind, Kind::Register);
    EXPECT_EQ(host->lvarCalls[1].name, "kob_sound_indicator");
}

TEST_F(Linkage, ModuleDeinitAsksNothingOfTheHost) {
    host->lvarCalls.clear();
    module().linkage().moduleDeinit();
    EXPECT_TRUE(host->lvarCalls.empty());
    EXPECT_TRUE(host->elementCalls.empty());
}

// One gauge routine called through a header, as the host calls it.
struct Routine {
    int number;
    bool takesValue;
    std::uint32_t (*call)(const GaugeHeader& header, std::uint32_t value);
};

const Routine routines[] = {
    {1, false, [](const GaugeHeader& h, std::uint32_t) { return h.routine1(); }},
    {2, true, [](const GaugeHeader& h, std::uint32_t v) { return h.routine2(v); }},
    {3, false, [](const GaugeHeader& h, std::uint32_t) { return h.routine3(); }},
    {4, false, [](const GaugeHeader& h, std::uint32_t) { return h.routine4(); }},
    {5, true, [](const GaugeHeader& h, std::uint32_t v) { return h.routine5(v); }},
    {6, false, [](const GaugeHeader& h, std::uint32_t) { return h.routine6(); }},
    {7, false, [](const GaugeHeader& h, std::uint32_t) { return h.routine7(); }},
};

TEST_F(Linkage, GaugeRoutinesHandTheSoundGaugesElementToTheHost) {
    void* soundElement = module().soundGauge().elementList[0];
    struct Header {
        const char* name;
        const GaugeHeader& header;
    };
    // Values and results with the top bit set catch a sign or width slip.
    const std::uint32_t values[] = {0u, 0x7FFFFFFFu, 0x80000001u, 0xFFFFFFFFu};
    const std::uint32_t hostResults[] = {0x12340000u, 0xFFFFFF00u};
    for (const Header& h : {Header{"sound gauge", module().soundGauge()}, Header{"debugger", module().debuggerGauge()}}) {
        for (const Routine& routine : routines) {
            for (std::uint32_t value : values) {
                for (std::uint32_t hostResult : hostResults) {
                    SCOPED_TRACE(std::string(h.name) + ", routine " + std::to_string(routine.number) + ", value " +
                                 std::to_string(value) + ", host result " + std::to_string(hostResult));
                    host->elementCalls.clear();
                    host->elementResult = hostResult;
                    const std::uint32_t result = routine.call(h.header, value);
                    ASSERT_EQ(host->elementCalls.size(), 1u);
                    const auto& call = host->elementCalls[0];
                    EXPECT_EQ(call.routine, routine.number);
                    EXPECT_EQ(call.element, soundElement);
                    EXPECT_EQ(call.value, routine.takesValue ? value : 0u);
                    EXPECT_EQ(result, hostResult + static_cast<std::uint32_t>(routine.number)) << "the host's result";
                }
            }
        }
    }
}

}  // namespace
}  // namespace kob::test
