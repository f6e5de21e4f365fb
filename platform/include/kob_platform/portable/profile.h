// Portable profile (INI) reading with the Windows calls' signatures.
#pragma once

#include "kob_platform/portable/win_types.h"

// Copies the value of [section] key into buffer (at most size - 1 characters
// and a NUL) or, when the file, section or key is missing, the default.
// Returns the number of characters copied, without the NUL.
KOB_PLATFORM_API DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                                LPSTR buffer, DWORD size, LPCSTR fileName);

// The value of [section] key read as a leading optional sign and decimal
// digits, or the default when the file, section or key is missing.
KOB_PLATFORM_API UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue,
                                            LPCSTR fileName);
