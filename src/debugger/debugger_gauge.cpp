// The "debugger" gauge's records, its page stepping and its three text lines.
#include "debugger/debugger_gauge.h"

#include <cstdarg>
#include <cstdio>

#include "config/sound_slot.h"
#include "module/gauge_state.h"
#include "module/linkage.h"

namespace kob {
namespace {

void* rootElementList[1] = {&debuggerRootImage};
void* afterRoot[2] = {&debuggerNumberLine, nullptr};
void* afterNumberLine[2] = {&debuggerVariableLine, nullptr};
void* afterVariableLine[2] = {&debuggerFileLine, nullptr};

constexpr TextElement textLine(std::int32_t x, std::int32_t y, void** next, std::int32_t width,
                               std::int32_t textLength, TextCallback callback) {
    TextElement e{};
    e.kind = 2;
    e.resourceId = -1;
    e.x = x;
    e.y = y;
    e.gauge = &debuggerGaugeHeader;
    e.nextElements = next;
    e.flags = elementFlags;
    e.width = width;
    e.height = 10;
    e.colour = 0x00FFFFFF;
    constexpr char face[] = "Arial";  // the rest of the 32 bytes stays zero
    for (std::size_t i = 0; i < sizeof face; ++i) e.fontFace[i] = face[i];
    e.fontWeight = 500;
    e.fontValue2 = 1;
    e.textLength = textLength;
    e.callback = callback;
    return e;
}

constexpr MouseArea mouseRecord(std::int32_t kind, std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height, std::int32_t cursor, std::uint32_t eventFlags,
                                MouseArea::Target target) {
    MouseArea m{};
    m.kind = kind;
    m.x = x;
    m.y = y;
    m.width = width;
    m.height = height;
    m.cursor = cursor;
    m.eventFlags = eventFlags;
    m.target = target;
    return m;
}

constexpr std::uint32_t clickEvents = 0x20200000;

// Writes a formatted text into the host's buffer. The buffer is the host's and
// its capacity is not handed over; the element's text length value is the only
// size the records carry, so it bounds every write, the NUL included. Longer
// texts are cut and still terminated.
void writeText(TextElement* element, const char* format, ...) {
    if (!element->textBuffer || element->textLength <= 0) return;
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(element->textBuffer, static_cast<std::size_t>(element->textLength), format, args);
    va_end(args);
}

bool onConfigurationPage() { return gaugeState.displayedSlot == gaugeState.slotCount; }

}  // namespace

constinit GaugeHeader debuggerGaugeHeader = {
    .version = 800,
    .name = "debugger",
    .elementList = rootElementList,
    .routine1 = gaugeRoutine1,
    .routine2 = gaugeRoutine2,
    .routine3 = gaugeRoutine3,
    .routine4 = gaugeRoutine4,
    .routine5 = gaugeRoutine5,
    .routine6 = gaugeRoutine6,
    .routine7 = gaugeRoutine7,
    .reserved40 = 0,
    .sizeValue = 100,
    .reserved48 = {},
    .mouseAreas = debuggerMouseAreas,
    .callback = nullptr,
    .reserved88 = 0,
    .parameterString = nullptr,
    .reserved96 = {},
};

constinit ImageElement debuggerRootImage = {
    .kind = 0,
    .resourceId = 293,
    .reserved8 = {},
    .gauge = &debuggerGaugeHeader,
    .reserved36 = 0,
    .nextElements = afterRoot,
    .reserved44 = 0,
    .flags = elementFlags,
    .reserved52 = {},
};

constinit TextElement debuggerNumberLine = textLine(5, 2, afterNumberLine, 117, 10, numberLineText);
constinit TextElement debuggerVariableLine = textLine(30, 2, afterVariableLine, 120, 65, variableLineText);
constinit TextElement debuggerFileLine = textLine(5, 12, nullptr, 117, 130, fileLineText);

constinit MouseArea debuggerMouseAreas[8] = {
    mouseRecord(1, 0, 0, 0, 0, -1, 0, {.handler = nullptr}),
    mouseRecord(1, 0, 0, 150, 25, -1, 0, {.handler = nullptr}),
    mouseRecord(4, 0, 0, 0, 0, -1, 0, {.text = gaugeState.iniPath}),
    mouseRecord(3, 0, 0, 0, 0, -1, 0, {.handler = nullptr}),
    mouseRecord(2, 1, 1, 75, 25, 2, clickEvents, {.handler = previousSlot}),
    mouseRecord(2, 76, 1, 74, 25, 1, clickEvents, {.handler = nextSlot}),
    mouseRecord(3, 0, 0, 0, 0, -1, 0, {.handler = nullptr}),
    mouseRecord(0, 0, 0, 0, 0, -1, 0, {.handler = nullptr}),
};

std::int32_t KOB_STDCALL previousSlot(std::uint32_t, std::uint32_t) {
    gaugeState.displayedSlot -= 1;
    if (gaugeState.displayedSlot < 0) gaugeState.displayedSlot = gaugeState.slotCount;
    return 0;
}

std::int32_t KOB_STDCALL nextSlot(std::uint32_t, std::uint32_t) {
    gaugeState.displayedSlot += 1;
    if (gaugeState.displayedSlot > gaugeState.slotCount) gaugeState.displayedSlot = 0;
    return 0;
}

double KOB_STDCALL fileLineText(TextElement* element) {
    if (!element) return 0.0;
    if (onConfigurationPage())
        writeText(element, "CFG = %s", gaugeState.iniPath);
    else
        writeText(element, "Wav = %s", SlotTable[gaugeState.displayedSlot].wavPath);
    return 0.0;
}

double KOB_STDCALL variableLineText(TextElement* element) {
    if (!element) return 0.0;
    if (onConfigurationPage())
        writeText(element, "%s", "Configuration File");
    else
        writeText(element, "L:Var=%s", SlotTable[gaugeState.displayedSlot].controlVarName);
    return 0.0;
}

double KOB_STDCALL numberLineText(TextElement* element) {
    if (!element) return 0.0;
    if (onConfigurationPage()) {
        element->flags |= numberLineHiddenBit;
    } else {
        writeText(element, "ID=%d", gaugeState.displayedSlot);
        element->flags &= ~numberLineHiddenBit;
    }
    return 0.0;
}

}  // namespace kob
