#include "simulator_registration.h"

#include "kob_platform/control.h"

namespace kob::host {

std::uint8_t* registerSimulatorModule(std::span<std::uint8_t> contents) {
    platform::registerModule("GLOBAL.DLL", {{"Linkage", contents.data()}});
    return contents.data();
}

void unregisterSimulatorModule() { platform::unregisterModule("GLOBAL.DLL"); }

void registerSimulatorWindow() { platform::registerWindow("FS98MAIN"); }

}  // namespace kob::host
