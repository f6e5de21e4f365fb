// Under Windows the module finds the real thing: a "GLOBAL.DLL" loaded into
// the process (the stand-in built beside kob-bench.exe, whose "Linkage" export
// is the simulator's memory) and a window of the class "FS98MAIN".
//
// Absent means not loaded. A module that already holds the handle keeps it
// after FreeLibrary, as it would if the simulator unloaded its own module, so
// a scenario should only make it absent before it is first found.
#include "simulator_registration.h"

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "kob_platform/win32.h"

namespace kob::host {
namespace {

HMODULE simulatorModule = nullptr;

std::filesystem::path besideThisProgram(const char* fileName) {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return fileName;
    return std::filesystem::path(self).parent_path() / fileName;
}

}  // namespace

std::uint8_t* registerSimulatorModule(std::span<std::uint8_t> contents) {
    const auto file = besideThisProgram("GLOBAL.DLL");
    if (!simulatorModule) simulatorModule = LoadLibraryA(file.string().c_str());
    if (!simulatorModule) throw std::runtime_error(file.string() + ": the simulator's stand-in module cannot be loaded");
    auto* memory = reinterpret_cast<std::uint8_t*>(GetProcAddress(simulatorModule, "Linkage"));
    if (!memory) throw std::runtime_error(file.string() + ": no Linkage export");
    std::memcpy(memory, contents.data(), contents.size());
    return memory;
}

void unregisterSimulatorModule() {
    if (!simulatorModule) return;
    FreeLibrary(simulatorModule);
    simulatorModule = nullptr;
}

void registerSimulatorWindow() {
    static HWND window = nullptr;
    if (window) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FS98MAIN";
    RegisterClassA(&windowClass);
    // Hidden, never shown: it is there to be found and to own the sound
    // device's cooperative level.
    window = CreateWindowExA(0, "FS98MAIN", "kob-bench", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
    if (!window) throw std::runtime_error("cannot create the simulator's main window FS98MAIN");
}

}  // namespace kob::host
