// The "debugger" gauge: one slot per page, then the configuration file's page.
#pragma once

#include "module/records.h"

namespace kob {

extern GaugeHeader debuggerGaugeHeader;
extern ImageElement debuggerRootImage;
extern TextElement debuggerNumberLine;
extern TextElement debuggerVariableLine;
extern TextElement debuggerFileLine;
extern MouseArea debuggerMouseAreas[8];

constexpr std::uint32_t numberLineHiddenBit = 0x40000000;

std::int32_t KOB_STDCALL previousSlot(std::uint32_t, std::uint32_t);
std::int32_t KOB_STDCALL nextSlot(std::uint32_t, std::uint32_t);
double KOB_STDCALL fileLineText(TextElement* element);
double KOB_STDCALL variableLineText(TextElement* element);
double KOB_STDCALL numberLineText(TextElement* element);

}  // namespace kob
