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

#if UINTPTR_MAX == 0xFFFFFFFFu
// The host reads these bytes; a 32-bit build must match them exactly.
static_assert(sizeof(LinkageRecord) == 36);
static_assert(offsetof(LinkageRecord, moduleInit) == 4);
static_assert(offsetof(LinkageRecord, moduleDeinit) == 8);
static_assert(offsetof(LinkageRecord, reserved12) == 12);
static_assert(offsetof(LinkageRecord, reserved16) == 16);
static_assert(offsetof(LinkageRecord, version) == 20);
static_assert(offsetof(LinkageRecord, gaugeTable) == 24);

static_assert(sizeof(ImportTableRecord) == 16);
static_assert(offsetof(ImportTableRecord, entries[0].pointer) == 4);
static_assert(offsetof(ImportTableRecord, entries[1]) == 8);

static_assert(sizeof(GaugeHeader) == 204);
static_assert(offsetof(GaugeHeader, name) == 4);
static_assert(offsetof(GaugeHeader, elementList) == 8);
static_assert(offsetof(GaugeHeader, routine1) == 12);
static_assert(offsetof(GaugeHeader, routine7) == 36);
static_assert(offsetof(GaugeHeader, sizeValue) == 44);
static_assert(offsetof(GaugeHeader, mouseAreas) == 80);
static_assert(offsetof(GaugeHeader, callback) == 84);
static_assert(offsetof(GaugeHeader, parameterString) == 92);

static_assert(sizeof(ImageElement) == 96);
static_assert(offsetof(ImageElement, resourceId) == 4);
static_assert(offsetof(ImageElement, gauge) == 32);
static_assert(offsetof(ImageElement, nextElements) == 40);
static_assert(offsetof(ImageElement, flags) == 48);

static_assert(sizeof(TextElement) == 324);
static_assert(offsetof(TextElement, resourceId) == 4);
static_assert(offsetof(TextElement, x) == 8);
static_assert(offsetof(TextElement, y) == 12);
static_assert(offsetof(TextElement, gauge) == 32);
static_assert(offsetof(TextElement, nextElements) == 40);
static_assert(offsetof(TextElement, flags) == 48);
static_assert(offsetof(TextElement, textBuffer) == 184);
static_assert(offsetof(TextElement, width) == 192);
static_assert(offsetof(TextElement, height) == 196);
static_assert(offsetof(TextElement, colour) == 208);
static_assert(offsetof(TextElement, fontFace) == 248);
static_assert(offsetof(TextElement, fontWeight) == 280);
static_assert(offsetof(TextElement, fontValue2) == 284);
static_assert(offsetof(TextElement, textLength) == 292);
static_assert(offsetof(TextElement, callback) == 312);

static_assert(sizeof(MouseArea) == 44);
static_assert(offsetof(MouseArea, x) == 4);
static_assert(offsetof(MouseArea, y) == 8);
static_assert(offsetof(MouseArea, width) == 12);
static_assert(offsetof(MouseArea, height) == 16);
static_assert(offsetof(MouseArea, cursor) == 20);
static_assert(offsetof(MouseArea, reserved24) == 24);
static_assert(offsetof(MouseArea, eventFlags) == 28);
static_assert(offsetof(MouseArea, reserved32) == 32);
static_assert(offsetof(MouseArea, target) == 36);
static_assert(offsetof(MouseArea, reserved40) == 40);
#endif

}  // namespace kob
