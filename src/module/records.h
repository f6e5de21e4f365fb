// The records the host reads from the module, in the host's gauge format.
// Field order and widths give the host's byte positions when pointers are 32
// bits; on 64-bit builds the same records grow with their pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "module/calling_convention.h"
#include "module/panel_services.h"

namespace kob {

struct GaugeHeader;
struct MouseArea;
struct TextElement;

using ModuleRoutine = void(KOB_STDCALL*)();
using GaugeRoutine = std::uint32_t(KOB_STDCALL*)();
using GaugeValueRoutine = std::uint32_t(KOB_STDCALL*)(std::uint32_t value);
using GaugeCallback = void(KOB_STDCALL*)(GaugeHeader* header, std::int32_t serviceId, std::uint32_t extra);
using MouseHandler = std::int32_t(KOB_STDCALL*)(std::uint32_t first, std::uint32_t second);
using TextCallback = double(KOB_STDCALL*)(TextElement* element);

// The exported record through which the host finds the module's gauges.
struct LinkageRecord {
    std::uint32_t moduleId;        // 0x13
    ModuleRoutine moduleInit;
    ModuleRoutine moduleDeinit;
    std::uint32_t reserved12;
    std::uint32_t reserved16;
    std::uint32_t version;         // 0x0900
    GaugeHeader* gaugeTable[3];    // two gauges, then null
};

// The exported list through which the host hands over its service table.
struct ImportTableRecord {
    struct Entry {
        std::uint32_t id;
        void* pointer;
    };
    Entry entries[2];
};

struct GaugeHeader {
    std::uint32_t version;         // 800
    const char* name;
    void** elementList;            // one pointer, to the first element
    GaugeRoutine routine1;
    GaugeValueRoutine routine2;
    GaugeRoutine routine3;
    GaugeRoutine routine4;
    GaugeValueRoutine routine5;
    GaugeRoutine routine6;
    GaugeRoutine routine7;
    std::uint32_t reserved40;
    std::uint32_t sizeValue;
    std::uint32_t reserved48[8];
    MouseArea* mouseAreas;
    GaugeCallback callback;
    std::uint32_t reserved88;
    const char* parameterString;   // written by the host
    std::uint32_t reserved96[27];
};

struct ImageElement {
    std::int32_t kind;             // 0: image
    std::int32_t resourceId;
    std::uint32_t reserved8[6];
    GaugeHeader* gauge;
    std::uint32_t reserved36;
    void** nextElements;
    std::uint32_t reserved44;
    std::uint32_t flags;
    std::uint32_t reserved52[11];
};

struct TextElement {
    std::int32_t kind;             // 2: text
    std::int32_t resourceId;
    std::int32_t x;
    std::int32_t y;
    std::uint32_t reserved16[4];
    GaugeHeader* gauge;
    std::uint32_t reserved36;
    void** nextElements;
    std::uint32_t reserved44;
    std::uint32_t flags;
    std::uint32_t reserved52[33];
    char* textBuffer;              // supplied by the host
    std::uint32_t reserved188;
    std::int32_t width;
    std::int32_t height;
    std::uint32_t reserved200[2];
    std::uint32_t colour;
    std::uint32_t reserved212[9];
    char fontFace[32];
    std::int32_t fontWeight;
    std::int32_t fontValue2;
    std::uint32_t reserved288;
    std::int32_t textLength;
    std::uint32_t reserved296[4];
    TextCallback callback;
    std::uint32_t reserved316[2];
};

struct MouseArea {
    std::int32_t kind;             // 0 end, 1 open group, 2 area, 3 close group, 4 text
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
    std::int32_t cursor;
    std::uint32_t reserved24;
    std::uint32_t eventFlags;
    std::uint32_t reserved32;
    union Target {
        MouseHandler handler;
        const char* text;
    } target;
    std::uint32_t reserved40;
};

constexpr std::uint32_t elementFlags = 0x83;

// The host reads these bytes; a 32-bit build must match them exactly. The
// checks compile everywhere, so a misspelt field fails every build, and bite
// where pointers are 32 bits.
#define KOB_HOST_LAYOUT(record, field, byte) \
    static_assert(sizeof(void*) != 4 || offsetof(record, field) == (byte), #record "::" #field " is misplaced")
#define KOB_HOST_SIZE(record, bytes) \
    static_assert(sizeof(void*) != 4 || sizeof(record) == (bytes), #record " has the wrong size")

KOB_HOST_SIZE(LinkageRecord, 36);
KOB_HOST_LAYOUT(LinkageRecord, moduleId, 0);
KOB_HOST_LAYOUT(LinkageRecord, moduleInit, 4);
KOB_HOST_LAYOUT(LinkageRecord, moduleDeinit, 8);
KOB_HOST_LAYOUT(LinkageRecord, reserved12, 12);
KOB_HOST_LAYOUT(LinkageRecord, reserved16, 16);
KOB_HOST_LAYOUT(LinkageRecord, version, 20);
KOB_HOST_LAYOUT(LinkageRecord, gaugeTable[0], 24);
KOB_HOST_LAYOUT(LinkageRecord, gaugeTable[1], 28);
KOB_HOST_LAYOUT(LinkageRecord, gaugeTable[2], 32);

KOB_HOST_SIZE(ImportTableRecord, 16);
KOB_HOST_LAYOUT(ImportTableRecord, entries[0].id, 0);
KOB_HOST_LAYOUT(ImportTableRecord, entries[0].pointer, 4);
KOB_HOST_LAYOUT(ImportTableRecord, entries[1].id, 8);
KOB_HOST_LAYOUT(ImportTableRecord, entries[1].pointer, 12);

KOB_HOST_SIZE(GaugeHeader, 204);
KOB_HOST_LAYOUT(GaugeHeader, version, 0);
KOB_HOST_LAYOUT(GaugeHeader, name, 4);
KOB_HOST_LAYOUT(GaugeHeader, elementList, 8);
KOB_HOST_LAYOUT(GaugeHeader, routine1, 12);
KOB_HOST_LAYOUT(GaugeHeader, routine2, 16);
KOB_HOST_LAYOUT(GaugeHeader, routine3, 20);
KOB_HOST_LAYOUT(GaugeHeader, routine4, 24);
KOB_HOST_LAYOUT(GaugeHeader, routine5, 28);
KOB_HOST_LAYOUT(GaugeHeader, routine6, 32);
KOB_HOST_LAYOUT(GaugeHeader, routine7, 36);
KOB_HOST_LAYOUT(GaugeHeader, reserved40, 40);
KOB_HOST_LAYOUT(GaugeHeader, sizeValue, 44);
KOB_HOST_LAYOUT(GaugeHeader, reserved48, 48);
KOB_HOST_LAYOUT(GaugeHeader, mouseAreas, 80);
KOB_HOST_LAYOUT(GaugeHeader, callback, 84);
KOB_HOST_LAYOUT(GaugeHeader, reserved88, 88);
KOB_HOST_LAYOUT(GaugeHeader, parameterString, 92);
KOB_HOST_LAYOUT(GaugeHeader, reserved96, 96);

KOB_HOST_SIZE(ImageElement, 96);
KOB_HOST_LAYOUT(ImageElement, kind, 0);
KOB_HOST_LAYOUT(ImageElement, resourceId, 4);
KOB_HOST_LAYOUT(ImageElement, gauge, 32);
KOB_HOST_LAYOUT(ImageElement, nextElements, 40);
KOB_HOST_LAYOUT(ImageElement, flags, 48);

KOB_HOST_SIZE(TextElement, 324);
KOB_HOST_LAYOUT(TextElement, kind, 0);
KOB_HOST_LAYOUT(TextElement, resourceId, 4);
KOB_HOST_LAYOUT(TextElement, x, 8);
KOB_HOST_LAYOUT(TextElement, y, 12);
KOB_HOST_LAYOUT(TextElement, gauge, 32);
KOB_HOST_LAYOUT(TextElement, nextElements, 40);
KOB_HOST_LAYOUT(TextElement, flags, 48);
KOB_HOST_LAYOUT(TextElement, textBuffer, 184);
KOB_HOST_LAYOUT(TextElement, width, 192);
KOB_HOST_LAYOUT(TextElement, height, 196);
KOB_HOST_LAYOUT(TextElement, colour, 208);
KOB_HOST_LAYOUT(TextElement, fontFace, 248);
KOB_HOST_LAYOUT(TextElement, fontWeight, 280);
KOB_HOST_LAYOUT(TextElement, fontValue2, 284);
KOB_HOST_LAYOUT(TextElement, textLength, 292);
KOB_HOST_LAYOUT(TextElement, callback, 312);

KOB_HOST_SIZE(MouseArea, 44);
KOB_HOST_LAYOUT(MouseArea, kind, 0);
KOB_HOST_LAYOUT(MouseArea, x, 4);
KOB_HOST_LAYOUT(MouseArea, y, 8);
KOB_HOST_LAYOUT(MouseArea, width, 12);
KOB_HOST_LAYOUT(MouseArea, height, 16);
KOB_HOST_LAYOUT(MouseArea, cursor, 20);
KOB_HOST_LAYOUT(MouseArea, reserved24, 24);
KOB_HOST_LAYOUT(MouseArea, eventFlags, 28);
KOB_HOST_LAYOUT(MouseArea, reserved32, 32);
KOB_HOST_LAYOUT(MouseArea, target, 36);
KOB_HOST_LAYOUT(MouseArea, reserved40, 40);
// Eight records, one after another, make the debugger's mouse list.
static_assert(sizeof(void*) != 4 || sizeof(MouseArea[8]) == 8 * 44);

#undef KOB_HOST_LAYOUT
#undef KOB_HOST_SIZE

}  // namespace kob
