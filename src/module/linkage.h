// The module's exported records and the sound gauge's own records.
#pragma once

#include "module/records.h"

// KOB_EXPORT comes from the build: default visibility natively, where
// everything else is hidden; nothing on Windows, where a .def file exports.
extern "C" {
KOB_EXPORT extern kob::LinkageRecord Linkage;
KOB_EXPORT extern kob::ImportTableRecord ImportTable;
}

namespace kob {

constexpr std::uint32_t panelServicesImportId = 0x0F;

extern GaugeHeader soundGaugeHeader;
extern ImageElement soundGaugeImage;
extern GaugeHeader debuggerGaugeHeader;

void KOB_STDCALL moduleInit();
void KOB_STDCALL moduleDeinit();
void KOB_STDCALL gaugeCallback(GaugeHeader* header, std::int32_t serviceId, std::uint32_t extra);

std::uint32_t KOB_STDCALL gaugeRoutine1();
std::uint32_t KOB_STDCALL gaugeRoutine2(std::uint32_t value);
std::uint32_t KOB_STDCALL gaugeRoutine3();
std::uint32_t KOB_STDCALL gaugeRoutine4();
std::uint32_t KOB_STDCALL gaugeRoutine5(std::uint32_t value);
std::uint32_t KOB_STDCALL gaugeRoutine6();
std::uint32_t KOB_STDCALL gaugeRoutine7();

}  // namespace kob
