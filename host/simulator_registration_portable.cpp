#include "simulator_registration.h"

#include "kob_platform/control.h"

namespace kob::host {

void registerSimulatorModule(void* linkage) { platform::registerModule("GLOBAL.DLL", {{"Linkage", linkage}}); }

void unregisterSimulatorModule() { platform::unregisterModule("GLOBAL.DLL"); }

void registerSimulatorWindow() { platform::registerWindow("FS98MAIN"); }

}  // namespace kob::host
