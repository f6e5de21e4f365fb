// What CreateSoundBuffer accepts: the description and format checks, made
// before anything is allocated.
#pragma once

#include "kob_platform/win32.h"

namespace kob::platform {

// The slowest and fastest source rates the mixer plays.
constexpr DWORD kMinBufferRate = 100;
constexpr DWORD kMaxBufferRate = 200000;

// DS_OK if a secondary buffer can be made from the description, else the code
// CreateSoundBuffer refuses it with.
HRESULT checkBufferDescription(const DSBUFFERDESC* description) noexcept;

// The PCM format of an accepted description. Only the PCM fields are read,
// so a 16-byte PCMWAVEFORMAT behind the pointer is fine.
WAVEFORMATEX pcmFormatOf(const DSBUFFERDESC& description) noexcept;

}  // namespace kob::platform
