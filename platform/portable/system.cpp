// Windows, modules and Sleep, over what a host registers.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <cctype>
#include <chrono>
#include <memory>
#include <string_view>
#include <thread>
#include <vector>

#include "kob_platform/control.h"
#include "ascii_case.h"
#include "windows_path.h"

namespace kob::platform {
namespace {

struct RegisteredWindow {
    std::string className;
    std::string title;
    std::unique_ptr<char> identity;  // its address is the handle
};

struct RegisteredModule {
    std::string name;
    std::map<std::string, void*, std::less<>> exports;  // looked up by a C string without a copy
    std::unique_ptr<char> identity;
};

struct SystemState {
    std::vector<RegisteredWindow> windows;
    std::vector<RegisteredModule> modules;
    bool sleepVirtual = false;
    std::uint64_t slept = 0;
};

SystemState& state() {
    static SystemState instance;
    return instance;
}

bool equalNoCase(const std::string& a, const char* b) { return b && kob::platform::equalNoCase(a, b); }

}  // namespace

void resetSystem() {
    SystemState& s = state();
    s.windows.clear();
    s.modules.clear();
    s.sleepVirtual = false;
    s.slept = 0;
}

HWND registerWindow(const std::string& className, const std::string& title) {
    unregisterWindow(className);
    auto& w = state().windows.emplace_back(RegisteredWindow{className, title, std::make_unique<char>()});
    return reinterpret_cast<HWND>(w.identity.get());
}

void unregisterWindow(const std::string& className) {
    auto& ws = state().windows;
    ws.erase(std::remove_if(ws.begin(), ws.end(), [&](const auto& w) { return w.className == className; }),
             ws.end());
}

HMODULE registerModule(const std::string& name, const std::map<std::string, void*>& exports) {
    unregisterModule(name);
    auto& m = state().modules.emplace_back(RegisteredModule{name, {exports.begin(), exports.end()}, std::make_unique<char>()});
    return reinterpret_cast<HMODULE>(m.identity.get());
}

void unregisterModule(const std::string& name) {
    auto& ms = state().modules;
    ms.erase(std::remove_if(ms.begin(), ms.end(), [&](const auto& m) { return equalNoCase(m.name, name.c_str()); }),
             ms.end());
}

void setSleepVirtual(bool isVirtual) { state().sleepVirtual = isVirtual; }
std::uint64_t sleptMilliseconds() { return state().slept; }

}  // namespace kob::platform

using namespace kob::platform;

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    for (const auto& w : state().windows)
        if (equalNoCase(w.className, className) && (!windowName || w.title == windowName))
            return reinterpret_cast<HWND>(w.identity.get());
    return nullptr;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    for (const auto& m : state().modules)
        if (equalNoCase(m.name, moduleName)) return reinterpret_cast<HMODULE>(m.identity.get());
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (!procName) return nullptr;
    for (const auto& m : state().modules) {
        if (reinterpret_cast<HMODULE>(m.identity.get()) != module) continue;
        auto found = m.exports.find(std::string_view(procName));
        return found == m.exports.end() ? nullptr : reinterpret_cast<FARPROC>(found->second);
    }
    return nullptr;
}

void Sleep(DWORD milliseconds) {
    state().slept += milliseconds;
    if (!state().sleepVirtual) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

FILE* fopenWindowsPath(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    const std::string resolved = resolveWindowsPath(path);
    // Windows cannot open a folder as a file; this file system can.
    std::error_code error;
    if (std::filesystem::is_directory(resolved, error)) {
        errno = EACCES;
        return nullptr;
    }
    return std::fopen(resolved.c_str(), mode);
}
