// How the simulator's own pieces become findable by the module: its module
// "GLOBAL.DLL" (GetModuleHandleA / GetProcAddress "Linkage") and its main
// window "FS98MAIN" (FindWindowA). The portable platform takes registrations;
// under Windows the bench loads a stand-in GLOBAL.DLL from beside itself and
// creates a hidden window of that class.
#pragma once

#include <cstdint>
#include <span>

namespace kob::host {

// Makes "GLOBAL.DLL" findable with `contents` behind its "Linkage" export.
// Returns the memory the module reads from now on: `contents` itself where
// the platform can point the export at it, else the loaded module's own
// memory, filled with a copy (later writes must go there too).
std::uint8_t* registerSimulatorModule(std::span<std::uint8_t> contents);
void unregisterSimulatorModule();
void registerSimulatorWindow();

}  // namespace kob::host
