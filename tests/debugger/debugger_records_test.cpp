// The debugger gauge's records as the host reads them from the loaded module:
// the element chain from its header and the mouse list.
#include <gtest/gtest.h>

#include <string>

#include "debugger_view.h"
#include "module_fixture.h"

namespace kob::test {
namespace {

class DebuggerRecords : public ModuleFixture {};

TEST_F(DebuggerRecords, ElementChainRunsRootNumberVariableFile) {
    GaugeHeader& header = module().debuggerGauge();
    DebuggerView view(header);
    EXPECT_EQ(view.root.kind, 0);
    EXPECT_EQ(view.root.resourceId, 293);
    EXPECT_EQ(view.root.gauge, &header);
    EXPECT_EQ(view.root.flags, 0x83u);
    EXPECT_EQ(view.root.nextElements[1], nullptr);

    struct Line {
        const char* name;
        TextElement& element;
        std::int32_t x, y, width, textLength;
    };
    for (const Line& line : {Line{"number", view.numberLine, 5, 2, 117, 10},
                             Line{"variable", view.variableLine, 30, 2, 120, 65},
                             Line{"file", view.fileLine, 5, 12, 117, 130}}) {
        SCOPED_TRACE(line.name);
        const TextElement& e = line.element;
        EXPECT_EQ(e.kind, 2);
        EXPECT_EQ(e.resourceId, -1);
        EXPECT_EQ(e.x, line.x);
        EXPECT_EQ(e.y, line.y);
        EXPECT_EQ(e.gauge, &header);
        EXPECT_EQ(e.flags, 0x83u);
        EXPECT_EQ(e.textBuffer, nullptr) << "the host supplies the buffer";
        EXPECT_EQ(e.width, line.width);
        EXPECT_EQ(e.height, 10);
        EXPECT_EQ(e.colour, 0x00FFFFFFu);
        EXPECT_EQ(std::string(e.fontFace, sizeof e.fontFace), std::string("Arial") + std::string(27, '\0'));
        EXPECT_EQ(e.fontWeight, 500);
        EXPECT_EQ(e.fontValue2, 1);
        EXPECT_EQ(e.textLength, line.textLength);
        EXPECT_NE(e.callback, nullptr);
        if (&e != &view.fileLine) {
            EXPECT_EQ(e.nextElements[1], nullptr) << "a list ends with null";
        }
    }
    EXPECT_EQ(view.fileLine.nextElements, nullptr) << "the file line ends the chain";
}

TEST_F(DebuggerRecords, MouseListGroupsTwoAreasAroundTheTextRecord) {
    const MouseArea* list = module().debuggerGauge().mouseAreas;
    struct Expected {
        std::int32_t kind, x, y, width, height, cursor;
        std::uint32_t eventFlags;
    };
    const Expected expected[8] = {
        {1, 0, 0, 0, 0, -1, 0},          {1, 0, 0, 150, 25, -1, 0},        {4, 0, 0, 0, 0, -1, 0},
        {3, 0, 0, 0, 0, -1, 0},          {2, 1, 1, 75, 25, 2, 0x20200000}, {2, 76, 1, 74, 25, 1, 0x20200000},
        {3, 0, 0, 0, 0, -1, 0},          {0, 0, 0, 0, 0, -1, 0},
    };
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE("mouse record " + std::to_string(i + 1));
        const MouseArea& area = list[i];
        EXPECT_EQ(area.kind, expected[i].kind);
        EXPECT_EQ(area.x, expected[i].x);
        EXPECT_EQ(area.y, expected[i].y);
        EXPECT_EQ(area.width, expected[i].width);
        EXPECT_EQ(area.height, expected[i].height);
        EXPECT_EQ(area.cursor, expected[i].cursor);
        EXPECT_EQ(area.eventFlags, expected[i].eventFlags);
        EXPECT_EQ(area.reserved24 | area.reserved32 | area.reserved40, 0u);
        if (area.kind == 2) {
            EXPECT_NE(area.target.handler, nullptr);
        } else if (area.kind != 4) {
            EXPECT_EQ(area.target.handler, nullptr);
        }
    }
}

TEST_F(DebuggerRecords, TextRecordShowsTheConfigurationPathInForce) {
    const auto ini = dir.write("panel.ini", "[Config]\nMaxSounds=2\n").string();
    startWithParameter(ini);
    const MouseArea& text = module().debuggerGauge().mouseAreas[2];
    EXPECT_EQ(text.target.text, state().iniPath);
    EXPECT_EQ(std::string(text.target.text), ini);
}

}  // namespace
}  // namespace kob::test
