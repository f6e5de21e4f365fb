// How the simulator's own pieces become findable by the module: its module
// "GLOBAL.DLL" (GetModuleHandleA / GetProcAddress "Linkage") and its main
// window "FS98MAIN" (FindWindowA). The portable platform takes registrations;
// another platform supplies its own implementation of these three calls.
#pragma once

namespace kob::host {

void registerSimulatorModule(void* linkage);
void unregisterSimulatorModule();
void registerSimulatorWindow();

}  // namespace kob::host
