// The control interface of the portable platform, for hosts and tests: what
// the simulator's machine would provide around the module (windows, loaded
// modules) and what a test needs to steer it. Not part of the Win32 seam;
// module code never includes it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "kob_platform/win32.h"

namespace kob::platform {

// Forgets every registered window and module, every injected fault, every
// audio device and buffer, and closes any mmio file still open.
void reset();

// Makes FindWindowA(className, ...) return a window handle; returns it.
HWND registerWindow(const std::string& className, const std::string& title = "");
void unregisterWindow(const std::string& className);

// Makes GetModuleHandleA(name) find a module whose GetProcAddress gives the
// addresses in exports. Returns its handle.
HMODULE registerModule(const std::string& name, const std::map<std::string, void*>& exports);
void unregisterModule(const std::string& name);

// Sleep either waits for real (the default) or only counts the time asked for.
void setSleepVirtual(bool isVirtual);
std::uint64_t sleptMilliseconds();

}  // namespace kob::platform
