// Every record the host reads in one place: the two exports, the sound
// gauge's header and image, and the thin routines they point to.
#include "module/linkage.h"

#include "module/gauge_state.h"

namespace kob {
namespace {
void* soundGaugeElements[1] = {&soundGaugeImage};
}  // namespace

constinit GaugeHeader soundGaugeHeader = {
    .version = 800,
    .name = "kob_vorlo3",
    .elementList = soundGaugeElements,
    .routine1 = gaugeRoutine1,
    .routine2 = gaugeRoutine2,
    .routine3 = gaugeRoutine3,
    .routine4 = gaugeRoutine4,
    .routine5 = gaugeRoutine5,
    .routine6 = gaugeRoutine6,
    .routine7 = gaugeRoutine7,
    .reserved40 = 0,
    .sizeValue = 20,
    .reserved48 = {},
    .mouseAreas = nullptr,
    .callback = gaugeCallback,
    .reserved88 = 0,
    .parameterString = nullptr,
    .reserved96 = {},
};

constinit ImageElement soundGaugeImage = {
    .kind = 0,
    .resourceId = 256,
    .reserved8 = {},
    .gauge = &soundGaugeHeader,
    .reserved36 = 0,
    .nextElements = nullptr,
    .reserved44 = 0,
    .flags = elementFlags,
    .reserved52 = {},
};

PanelServices& panelServices() { return *static_cast<PanelServices*>(ImportTable.entries[0].pointer); }

namespace {
// The element every gauge routine hands on: the first element of gauge table entry 0.
void* soundElement() { return Linkage.gaugeTable[0]->elementList[0]; }
}  // namespace

std::uint32_t KOB_STDCALL gaugeRoutine1() { return panelServices().elementRoutine1(soundElement()); }
std::uint32_t KOB_STDCALL gaugeRoutine2(std::uint32_t value) {
    return panelServices().elementRoutine2(soundElement(), value);
}
std::uint32_t KOB_STDCALL gaugeRoutine3() { return panelServices().elementRoutine3(soundElement()); }
std::uint32_t KOB_STDCALL gaugeRoutine4() { return panelServices().elementRoutine4(soundElement()); }
std::uint32_t KOB_STDCALL gaugeRoutine5(std::uint32_t value) {
    return panelServices().elementRoutine5(soundElement(), value);
}
std::uint32_t KOB_STDCALL gaugeRoutine6() { return panelServices().elementRoutine6(soundElement()); }
std::uint32_t KOB_STDCALL gaugeRoutine7() { return panelServices().elementRoutine7(soundElement()); }

void KOB_STDCALL moduleInit() {
    gaugeState.volumePlayedId = panelServices().registerLvar("kob_volume_played");
    gaugeState.soundIndicatorId = panelServices().registerLvar("kob_sound_indicator");
}

void KOB_STDCALL moduleDeinit() {}

}  // namespace kob

extern "C" {

KOB_EXPORT constinit kob::LinkageRecord Linkage = {
    .moduleId = 0x13,
    .moduleInit = kob::moduleInit,
    .moduleDeinit = kob::moduleDeinit,
    .reserved12 = 0,
    .reserved16 = 0,
    .version = 0x0900,
    .gaugeTable = {&kob::soundGaugeHeader, &kob::debuggerGaugeHeader, nullptr},
};

KOB_EXPORT constinit kob::ImportTableRecord ImportTable = {{{kob::panelServicesImportId, nullptr}, {0, nullptr}}};
}
