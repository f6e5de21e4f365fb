// The debugger's three text lines, written into buffers that the test lends as
// the host would, through each element's own callback.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "debugger_view.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

constexpr std::uint32_t hiddenBit = 0x40000000;
constexpr std::uint32_t elementFlags = 0x83;

class DebuggerText : public ModuleFixture {
protected:
    // Shows a line into a fresh buffer sized as its text length value.
    static std::string show(TextElement& line, const std::string& before = "") {
        HostTextBuffer buffer(static_cast<std::size_t>(line.textLength), before);
        buffer.lendTo(line);
        EXPECT_EQ(DebuggerView::show(line), 0.0);
        EXPECT_TRUE(buffer.guardIntact()) << "written past the buffer";
        return buffer.text().value_or("<no NUL within the buffer>");
    }
    DebuggerView view() const { return DebuggerView(module().debuggerGauge()); }
    void goToPage(std::int32_t page) const {
        for (int clicks = 0; state().displayedSlot != page && clicks <= 101; ++clicks) view().clickRight();
        ASSERT_EQ(state().displayedSlot, page);
    }
};

TEST_F(DebuggerText, ConfigurationPageWithTheDefaultPath) {
    startWithParameter("");
    ASSERT_EQ(state().displayedSlot, state().slotCount);
    EXPECT_EQ(show(view().fileLine), "CFG = ./Gauges/kob_vorlo.ini");
    EXPECT_EQ(show(view().variableLine), "Configuration File");
}

struct SlotPage {
    std::int32_t page;
    const char* number;
    const char* variable;
    const char* file;
};

TEST_F(DebuggerText, SlotPagesShowNumberVariableAndWavPath) {
    startWithIni(
        "[Config]\nMaxSounds=3\n"
        "[Sounds]\nSound01=engine.wav,50\n"
        "[LVars]\nLvar01=engine_switch\n");
    for (const SlotPage& expected : {SlotPage{0, "ID=0", "L:Var=kob_xml_id_00", "Wav = ./Sound/kob/kob_xml_00.wav"},
                                     SlotPage{1, "ID=1", "L:Var=engine_switch", "Wav = engine.wav"},
                                     SlotPage{2, "ID=2", "L:Var=kob_xml_id_02", "Wav = ./Sound/kob/kob_xml_02.wav"}}) {
        SCOPED_TRACE("page " + std::to_string(expected.page));
        goToPage(expected.page);
        EXPECT_EQ(show(view().numberLine), expected.number);
        EXPECT_EQ(show(view().variableLine), expected.variable);
        EXPECT_EQ(show(view().fileLine), expected.file);
    }
}

TEST_F(DebuggerText, TwoDigitSlotNumber) {
    startWithParameter("");
    goToPage(99);
    EXPECT_EQ(show(view().numberLine), "ID=99");
}

TEST_F(DebuggerText, BeforeConfigurationTheSlotsAndPathAreEmpty) {
    EXPECT_EQ(show(view().numberLine), "ID=0");
    EXPECT_EQ(show(view().variableLine), "L:Var=");
    EXPECT_EQ(show(view().fileLine), "Wav = ");
    view().clickLeft();
    EXPECT_EQ(show(view().variableLine), "Configuration File");
    EXPECT_EQ(show(view().fileLine), "CFG = ");
}

TEST_F(DebuggerText, NumberLineHidesOnTheConfigurationPageAndKeepsItsLastText) {
    startWithIni("[Config]\nMaxSounds=3\n");
    TextElement& number = view().numberLine;
    HostTextBuffer buffer(static_cast<std::size_t>(number.textLength), "ID=2");
    buffer.lendTo(number);

    EXPECT_EQ(DebuggerView::show(number), 0.0);
    EXPECT_EQ(buffer.text(), "ID=2") << "the configuration page writes no number";
    EXPECT_EQ(number.flags, elementFlags | hiddenBit);

    view().clickRight();  // slot 0
    DebuggerView::show(number);
    EXPECT_EQ(buffer.text(), "ID=0");
    EXPECT_EQ(number.flags, elementFlags);

    view().clickLeft();  // the configuration page again
    DebuggerView::show(number);
    EXPECT_EQ(buffer.text(), "ID=0");
    EXPECT_EQ(number.flags, elementFlags | hiddenBit);
    EXPECT_TRUE(buffer.guardIntact());
}

// The longest texts: a 131-character WAV path or variable name after a
// six-character label, a 129-character configuration path after "CFG = ".
TEST_F(DebuggerText, LongTextsAreCutToTheLinesTextLength) {
    startWithIni("[Config]\nMaxSounds=3\n");
    const std::string path(131, 'p');
    const std::string name(131, 'n');
    const std::string configPath(129, 'c');
    std::memcpy(slot(0).wavPath, path.c_str(), path.size() + 1);
    std::memcpy(slot(0).controlVarName, name.c_str(), name.size() + 1);
    std::memcpy(state().iniPath, configPath.c_str(), configPath.size() + 1);

    struct Case {
        TextElement& line;
        std::int32_t page;
        std::string full;
    };
    for (const Case& c : {Case{view().fileLine, 0, "Wav = " + path}, Case{view().variableLine, 0, "L:Var=" + name},
                          Case{view().fileLine, 3, "CFG = " + configPath}}) {
        SCOPED_TRACE(c.full.substr(0, 8) + "... on page " + std::to_string(c.page));
        goToPage(c.page);
        const auto capacity = static_cast<std::size_t>(c.line.textLength);
        ASSERT_LT(capacity, c.full.size() + 1) << "the text must not fit for this test";
        EXPECT_EQ(show(c.line), c.full.substr(0, capacity - 1));
    }
}

}  // namespace
}  // namespace kob::test
