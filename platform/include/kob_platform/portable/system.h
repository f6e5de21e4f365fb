// Portable window, module and timing calls, and file opening by Windows path.
#pragma once

#include <cstdio>

#include "kob_platform/portable/win_types.h"

// The window registered by the host under that class (and title, when given), or null.
KOB_PLATFORM_API HWND FindWindowA(LPCSTR className, LPCSTR windowName);
// A module the host registered under that name (matched without regard to case), or null.
KOB_PLATFORM_API HMODULE GetModuleHandleA(LPCSTR moduleName);
// An export of a registered module, or null.
KOB_PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
KOB_PLATFORM_API void Sleep(DWORD milliseconds);

// std::fopen for a path written as on Windows: either separator, components
// matched without regard to case, trailing spaces and dots dropped.
KOB_PLATFORM_API FILE* fopenWindowsPath(const char* path, const char* mode);
