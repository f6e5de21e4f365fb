// The host's table of panel services and the records passed through it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "module/calling_convention.h"

namespace kob {

// Identifier of a named variable; stored and handed back, never tested.
using LvarId = std::int32_t;

#pragma pack(push, 4)
// A numbered simulator variable: the caller sets the number, the host the value.
struct SimVariableRecord {
    std::int32_t number;
    std::uint32_t reserved1[2];
    double value;
    std::uint32_t reserved2[2];
};
#pragma pack(pop)
// No pointers inside: the same 28 bytes in every build.
static_assert(sizeof(SimVariableRecord) == 28);
static_assert(offsetof(SimVariableRecord, number) == 0);
static_assert(offsetof(SimVariableRecord, reserved1) == 4);
static_assert(offsetof(SimVariableRecord, value) == 12);
static_assert(offsetof(SimVariableRecord, reserved2) == 20);

using ElementRoutine = std::uint32_t(KOB_STDCALL*)(void* element);
using ElementValueRoutine = std::uint32_t(KOB_STDCALL*)(void* element, std::uint32_t value);
using ReadSimVariableFn = void(KOB_STDCALL*)(SimVariableRecord* record);
using FindLvarFn = LvarId(KOB_STDCALL*)(const char* name);
using RegisterLvarFn = LvarId(KOB_STDCALL*)(const char* name);
using GetLvarFn = double(KOB_STDCALL*)(LvarId id);
using SetLvarFn = void(KOB_STDCALL*)(LvarId id, double value);

// The host's table. Only the entries the module calls are named; the rest are
// the host's. Every entry is one pointer wide, so with 32-bit pointers each
// operation sits at the byte position the host expects.
struct PanelServices {
    void* hostEntries0[24];
    ElementRoutine elementRoutine1;          // 0x60
    ElementValueRoutine elementRoutine2;     // 0x64
    ElementRoutine elementRoutine3;          // 0x68
    ElementRoutine elementRoutine4;          // 0x6c
    ElementValueRoutine elementRoutine5;     // 0x70
    ElementRoutine elementRoutine6;          // 0x74
    void* hostEntry30;                       // 0x78, not called
    ElementRoutine elementRoutine7;          // 0x7c
    void* hostEntries32[8];
    ReadSimVariableFn readSimVariable;       // 0xa0
    void* hostEntries41[10];
    FindLvarFn findLvar;                     // 0xcc
    RegisterLvarFn registerLvar;             // 0xd0
    GetLvarFn getLvar;                       // 0xd4
    void* hostEntry54;                       // 0xd8
    SetLvarFn setLvar;                       // 0xdc
};

#define KOB_ENTRY_AT(field, byte32) \
    static_assert(offsetof(PanelServices, field) == (byte32) / 4 * sizeof(void*), #field " is misplaced")
KOB_ENTRY_AT(elementRoutine1, 0x60);
KOB_ENTRY_AT(elementRoutine2, 0x64);
KOB_ENTRY_AT(elementRoutine3, 0x68);
KOB_ENTRY_AT(elementRoutine4, 0x6c);
KOB_ENTRY_AT(elementRoutine5, 0x70);
KOB_ENTRY_AT(elementRoutine6, 0x74);
KOB_ENTRY_AT(elementRoutine7, 0x7c);
KOB_ENTRY_AT(readSimVariable, 0xa0);
KOB_ENTRY_AT(findLvar, 0xcc);
KOB_ENTRY_AT(registerLvar, 0xd0);
KOB_ENTRY_AT(getLvar, 0xd4);
KOB_ENTRY_AT(setLvar, 0xdc);
#undef KOB_ENTRY_AT
static_assert(sizeof(void*) != 4 || sizeof(PanelServices) == 0xe0, "the table ends after setLvar");
static_assert(sizeof(void*) != 4 || offsetof(PanelServices, hostEntry30) == 0x78, "byte 0x78 is not called");

}  // namespace kob
