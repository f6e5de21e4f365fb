// The one header module code includes for its Win32 names.
//
// On Windows it is the system headers, unchanged. Elsewhere it is our own
// portable declarations, implemented by the kob_platform library. Module code
// is written once against these names and has no #ifdef of its own.
#pragma once

#include <cstdio>

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <dsound.h>

// Opening a file the way the C runtime does; on Windows paths are native.
inline FILE* fopenWindowsPath(const char* path, const char* mode) { return std::fopen(path, mode); }

#else

#include "kob_platform/portable/win_types.h"
#include "kob_platform/portable/profile.h"
#include "kob_platform/portable/mmio.h"
#include "kob_platform/portable/dsound.h"
#include "kob_platform/portable/system.h"

#endif
