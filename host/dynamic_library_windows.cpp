#include "dynamic_library.h"

#include "kob_platform/win32.h"

namespace kob::host::library {
namespace {

std::string lastErrorText() {
    char text[256] = {};
    const DWORD code = GetLastError();
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text, nullptr) == 0)
        return "error " + std::to_string(code);
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

HMODULE handleOf(void* handle) { return static_cast<HMODULE>(handle); }

}  // namespace

void* open(const std::filesystem::path& file, std::string& why) {
    HMODULE handle = LoadLibraryA(file.string().c_str());
    if (!handle) why = lastErrorText();
    return handle;
}

// GetProcAddress gives a code pointer; the exports looked up here are data.
void* find(void* handle, const char* name) { return reinterpret_cast<void*>(GetProcAddress(handleOf(handle), name)); }
void close(void* handle) { FreeLibrary(handleOf(handle)); }
const char* fileSuffix() { return ".dll"; }
unsigned long processId() { return GetCurrentProcessId(); }

}  // namespace kob::host::library
