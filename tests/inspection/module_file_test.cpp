// The built module files read as the simulator's loader sees them: the two
// exports, every byte of the records they lead to, and the DLLs a Windows
// build imports from. Pointers are followed as the loader relocates them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <optional>
#include <set>
#include <sstream>

#include "built_files.h"
#include "module/records.h"
#include "record_reader.h"

namespace kob::test {
namespace {

std::string hexText(std::uint64_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

constexpr std::uint32_t elementFlags = 0x83;

class ModuleFile : public ::testing::TestWithParam<BuiltModule> {
protected:
    void SetUp() override {
        const BuiltModule& module = GetParam();
        try {
            requireFile(module);
            if (module.format == FileFormat::Pe) {
                requireTool(module.objdump, "binutils-mingw-w64");
                image_.emplace(ModuleImage::readPe(module.file, module.objdump));
            } else {
                requireTool(module.objdump, "binutils");
                requireTool(readelfTool(), "binutils");
                image_.emplace(ModuleImage::readElf(module.file, module.objdump, readelfTool()));
            }
        } catch (const std::exception& e) {
            FAIL() << e.what();
        }
    }

    const ModuleImage& image() const { return *image_; }
    RecordReader record(std::uint64_t address, RecordSize size) const { return {*image_, address, size}; }
    // Entry index of an array of pointers.
    std::uint64_t listEntry(std::uint64_t list, std::size_t index) const {
        return image().pointer(list + index * image().pointerSize());
    }
    RecordReader linkage() const { return record(image().exportAddress("Linkage"), KOB_RECORD(LinkageRecord, 36)); }
    std::uint64_t soundHeader() const { return linkage().pointer(KOB_FIELD(LinkageRecord, gaugeTable[0], 24)); }
    std::uint64_t debuggerHeader() const { return linkage().pointer(KOB_FIELD(LinkageRecord, gaugeTable[1], 28)); }

    void expectNoStrayBytes(const RecordReader& reader, const std::string& what) const {
        const auto stray = reader.strayBytes();
        EXPECT_TRUE(stray.empty()) << what << " at " << hexText(reader.address()) << ": byte " << stray.front()
                                   << " and " << stray.size() - 1 << " more are not 0";
    }

private:
    std::optional<ModuleImage> image_;
};

TEST_P(ModuleFile, HasThePointerWidthOfItsBuild) { EXPECT_EQ(image().pointerSize(), GetParam().pointerSize); }

TEST_P(ModuleFile, ExportsLinkageAndImportTableAndNothingElse) {
    EXPECT_EQ(image().exportNames(), (std::vector<std::string>{"ImportTable", "Linkage"}));
}

TEST_P(ModuleFile, LinkageHoldsTheIdentifierRoutinesVersionAndGaugeTable) {
    RecordReader linkage = this->linkage();
    EXPECT_EQ(linkage.u32(KOB_FIELD(LinkageRecord, moduleId, 0)), 0x13u);
    const auto init = linkage.pointer(KOB_FIELD(LinkageRecord, moduleInit, 4));
    const auto deinit = linkage.pointer(KOB_FIELD(LinkageRecord, moduleDeinit, 8));
    EXPECT_TRUE(image().isCode(init)) << "moduleInit at " << hexText(init);
    EXPECT_TRUE(image().isCode(deinit)) << "moduleDeinit at " << hexText(deinit);
    EXPECT_EQ(linkage.u32(KOB_FIELD(LinkageRecord, reserved12, 12)), 0u);
    EXPECT_EQ(linkage.u32(KOB_FIELD(LinkageRecord, reserved16, 16)), 0u);
    EXPECT_EQ(linkage.u32(KOB_FIELD(LinkageRecord, version, 20)), 0x0900u);

    struct Entry {
        Field field;
        const char* name;
    };
    for (const Entry& entry : {Entry{KOB_FIELD(LinkageRecord, gaugeTable[0], 24), "kob_vorlo3"},
                               Entry{KOB_FIELD(LinkageRecord, gaugeTable[1], 28), "debugger"}}) {
        RecordReader header = record(linkage.pointer(entry.field), KOB_RECORD(GaugeHeader, 204));
        EXPECT_EQ(header.u32(KOB_FIELD(GaugeHeader, version, 0)), 800u) << entry.name;
        EXPECT_EQ(image().cString(header.pointer(KOB_FIELD(GaugeHeader, name, 4))), entry.name);
    }
    EXPECT_EQ(linkage.pointer(KOB_FIELD(LinkageRecord, gaugeTable[2], 32)), 0u) << "the gauge table ends with null";
    expectNoStrayBytes(linkage, "Linkage");
}

TEST_P(ModuleFile, ImportTableWaitsForThePanelServices) {
    RecordReader table = record(image().exportAddress("ImportTable"), KOB_RECORD(ImportTableRecord, 16));
    EXPECT_EQ(table.u32(KOB_FIELD(ImportTableRecord, entries[0].id, 0)), 0x0Fu);
    EXPECT_EQ(table.pointer(KOB_FIELD(ImportTableRecord, entries[0].pointer, 4)), 0u);
    EXPECT_EQ(table.u32(KOB_FIELD(ImportTableRecord, entries[1].id, 8)), 0u);
    EXPECT_EQ(table.pointer(KOB_FIELD(ImportTableRecord, entries[1].pointer, 12)), 0u);
    expectNoStrayBytes(table, "ImportTable");
}

const Field routineFields[7] = {
    KOB_FIELD(GaugeHeader, routine1, 12), KOB_FIELD(GaugeHeader, routine2, 16), KOB_FIELD(GaugeHeader, routine3, 20),
    KOB_FIELD(GaugeHeader, routine4, 24), KOB_FIELD(GaugeHeader, routine5, 28), KOB_FIELD(GaugeHeader, routine6, 32),
    KOB_FIELD(GaugeHeader, routine7, 36),
};

TEST_P(ModuleFile, SoundGaugeHeaderAndItsImage) {
    RecordReader header = record(soundHeader(), KOB_RECORD(GaugeHeader, 204));
    EXPECT_EQ(header.u32(KOB_FIELD(GaugeHeader, version, 0)), 800u);
    EXPECT_EQ(image().cString(header.pointer(KOB_FIELD(GaugeHeader, name, 4))), "kob_vorlo3");
    const auto elementList = header.pointer(KOB_FIELD(GaugeHeader, elementList, 8));
    std::set<std::uint64_t> routines;
    for (const Field& routine : routineFields) {
        const auto address = header.pointer(routine);
        EXPECT_TRUE(image().isCode(address)) << "routine at " << hexText(address);
        routines.insert(address);
    }
    EXPECT_EQ(routines.size(), 7u) << "seven different routines";
    EXPECT_EQ(header.u32(KOB_FIELD(GaugeHeader, sizeValue, 44)), 20u);
    EXPECT_EQ(header.pointer(KOB_FIELD(GaugeHeader, mouseAreas, 80)), 0u);
    const auto callback = header.pointer(KOB_FIELD(GaugeHeader, callback, 84));
    EXPECT_TRUE(image().isCode(callback)) << "gauge callback at " << hexText(callback);
    EXPECT_EQ(header.pointer(KOB_FIELD(GaugeHeader, parameterString, 92)), 0u);
    expectNoStrayBytes(header, "the sound gauge's header");

    RecordReader element = record(listEntry(elementList, 0), KOB_RECORD(ImageElement, 96));
    EXPECT_EQ(element.u32(KOB_FIELD(ImageElement, kind, 0)), 0u);
    EXPECT_EQ(element.u32(KOB_FIELD(ImageElement, resourceId, 4)), 256u);
    EXPECT_EQ(element.pointer(KOB_FIELD(ImageElement, gauge, 32)), header.address());
    EXPECT_EQ(element.pointer(KOB_FIELD(ImageElement, nextElements, 40)), 0u);
    EXPECT_EQ(element.u32(KOB_FIELD(ImageElement, flags, 48)), elementFlags);
    expectNoStrayBytes(element, "the sound gauge's image element");
}

TEST_P(ModuleFile, DebuggerGaugeHeaderSharesTheSoundGaugesRoutines) {
    RecordReader sound = record(soundHeader(), KOB_RECORD(GaugeHeader, 204));
    RecordReader header = record(debuggerHeader(), KOB_RECORD(GaugeHeader, 204));
    EXPECT_EQ(header.u32(KOB_FIELD(GaugeHeader, version, 0)), 800u);
    EXPECT_EQ(image().cString(header.pointer(KOB_FIELD(GaugeHeader, name, 4))), "debugger");
    EXPECT_TRUE(image().contains(header.pointer(KOB_FIELD(GaugeHeader, elementList, 8))));
    for (const Field& routine : routineFields) EXPECT_EQ(header.pointer(routine), sound.pointer(routine));
    EXPECT_EQ(header.u32(KOB_FIELD(GaugeHeader, sizeValue, 44)), 100u);
    const auto mouseAreas = header.pointer(KOB_FIELD(GaugeHeader, mouseAreas, 80));
    EXPECT_TRUE(image().contains(mouseAreas) && !image().isCode(mouseAreas)) << hexText(mouseAreas);
    EXPECT_EQ(header.pointer(KOB_FIELD(GaugeHeader, callback, 84)), 0u);
    EXPECT_EQ(header.pointer(KOB_FIELD(GaugeHeader, parameterString, 92)), 0u);
    expectNoStrayBytes(header, "the debugger gauge's header");
}

struct TextLine {
    const char* name;
    std::int32_t x, y, width, textLength;
};
// In chain order: root image, then these.
constexpr TextLine textLines[3] = {
    {"number line", 5, 2, 117, 10},
    {"variable line", 30, 2, 120, 65},
    {"file line", 5, 12, 117, 130},
};

TEST_P(ModuleFile, DebuggerElementChain) {
    const auto gauge = debuggerHeader();
    RecordReader header = record(gauge, KOB_RECORD(GaugeHeader, 204));
    RecordReader root = record(listEntry(header.pointer(KOB_FIELD(GaugeHeader, elementList, 8)), 0),
                               KOB_RECORD(ImageElement, 96));
    EXPECT_EQ(root.u32(KOB_FIELD(ImageElement, kind, 0)), 0u);
    EXPECT_EQ(root.u32(KOB_FIELD(ImageElement, resourceId, 4)), 293u);
    EXPECT_EQ(root.pointer(KOB_FIELD(ImageElement, gauge, 32)), gauge);
    auto next = root.pointer(KOB_FIELD(ImageElement, nextElements, 40));
    EXPECT_EQ(root.u32(KOB_FIELD(ImageElement, flags, 48)), elementFlags);
    expectNoStrayBytes(root, "the debugger's root element");

    std::set<std::uint64_t> callbacks;
    for (const TextLine& line : textLines) {
        SCOPED_TRACE(line.name);
        ASSERT_NE(next, 0u) << "the chain ends early";
        EXPECT_EQ(listEntry(next, 1), 0u) << "a next-element list is the next element, then null";
        RecordReader text = record(listEntry(next, 0), KOB_RECORD(TextElement, 324));
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, kind, 0)), 2);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, resourceId, 4)), -1);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, x, 8)), line.x);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, y, 12)), line.y);
        EXPECT_EQ(text.pointer(KOB_FIELD(TextElement, gauge, 32)), gauge);
        next = text.pointer(KOB_FIELD(TextElement, nextElements, 40));
        EXPECT_EQ(text.u32(KOB_FIELD(TextElement, flags, 48)), elementFlags);
        EXPECT_EQ(text.pointer(KOB_FIELD(TextElement, textBuffer, 184)), 0u);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, width, 192)), line.width);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, height, 196)), 10);
        EXPECT_EQ(text.u32(KOB_FIELD(TextElement, colour, 208)), 0x00FFFFFFu);
        EXPECT_EQ(text.bytes(KOB_FIELD(TextElement, fontFace, 248), 32), std::string("Arial") + std::string(27, '\0'));
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, fontWeight, 280)), 500);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, fontValue2, 284)), 1);
        EXPECT_EQ(text.i32(KOB_FIELD(TextElement, textLength, 292)), line.textLength);
        const auto callback = text.pointer(KOB_FIELD(TextElement, callback, 312));
        EXPECT_TRUE(image().isCode(callback)) << "text callback at " << hexText(callback);
        callbacks.insert(callback);
        expectNoStrayBytes(text, line.name);
    }
    EXPECT_EQ(next, 0u) << "the file line has no next-element list";
    EXPECT_EQ(callbacks.size(), 3u) << "each line has its own callback";
}

enum class Target { None, Text, Handler };
struct MouseRecord {
    std::int32_t kind, x, y, width, height, cursor;
    std::uint32_t eventFlags;
    Target target;
};
constexpr MouseRecord mouseRecords[8] = {
    {1, 0, 0, 0, 0, -1, 0, Target::None},
    {1, 0, 0, 150, 25, -1, 0, Target::None},
    {4, 0, 0, 0, 0, -1, 0, Target::Text},
    {3, 0, 0, 0, 0, -1, 0, Target::None},
    {2, 1, 1, 75, 25, 2, 0x20200000, Target::Handler},
    {2, 76, 1, 74, 25, 1, 0x20200000, Target::Handler},
    {3, 0, 0, 0, 0, -1, 0, Target::None},
    {0, 0, 0, 0, 0, -1, 0, Target::None},
};

TEST_P(ModuleFile, DebuggerMouseList) {
    RecordReader header = record(debuggerHeader(), KOB_RECORD(GaugeHeader, 204));
    const auto list = header.pointer(KOB_FIELD(GaugeHeader, mouseAreas, 80));
    const std::size_t recordSize = image().pointerSize() == 4 ? 44 : sizeof(MouseArea);
    std::set<std::uint64_t> handlers;
    for (std::size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE("mouse record " + std::to_string(i + 1));
        const MouseRecord& expected = mouseRecords[i];
        RecordReader area = record(list + i * recordSize, KOB_RECORD(MouseArea, 44));
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, kind, 0)), expected.kind);
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, x, 4)), expected.x);
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, y, 8)), expected.y);
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, width, 12)), expected.width);
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, height, 16)), expected.height);
        EXPECT_EQ(area.i32(KOB_FIELD(MouseArea, cursor, 20)), expected.cursor);
        EXPECT_EQ(area.u32(KOB_FIELD(MouseArea, eventFlags, 28)), expected.eventFlags);
        const auto target = area.pointer(KOB_FIELD(MouseArea, target, 36));
        switch (expected.target) {
            case Target::None: EXPECT_EQ(target, 0u); break;
            case Target::Text:
                EXPECT_TRUE(image().contains(target) && !image().isCode(target)) << "text at " << hexText(target);
                break;
            case Target::Handler:
                EXPECT_TRUE(image().isCode(target)) << "handler at " << hexText(target);
                handlers.insert(target);
                break;
        }
        expectNoStrayBytes(area, "a mouse record");
    }
    EXPECT_EQ(handlers.size(), 2u) << "previous and next page are different handlers";
}

INSTANTIATE_TEST_SUITE_P(Builds, ModuleFile, ::testing::ValuesIn(builtModules()),
                         [](const auto& test) { return testNameOf(test.param); });

// Windows builds only: what the library needs from the system.
class WindowsModuleFile : public ModuleFile {};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_P(WindowsModuleFile, ImportsOnlyFromTheSystemsOwnDlls) {
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "winmm.dll", "dsound.dll", "msvcrt.dll"};
    EXPECT_FALSE(image().importedLibraries().empty());
    for (const auto& library : image().importedLibraries())
        EXPECT_TRUE(allowed.contains(lowerCase(library))) << "imports from " << library;
}

INSTANTIATE_TEST_SUITE_P(Builds, WindowsModuleFile, ::testing::ValuesIn(windowsModules()),
                         [](const auto& test) { return testNameOf(test.param); });

}  // namespace
}  // namespace kob::test
