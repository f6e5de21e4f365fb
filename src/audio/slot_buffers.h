// The module's DirectSound device and one static secondary buffer per slot,
// with the WaveFile each buffer was filled from.
#pragma once

#include <cstdint>

#include "kob_platform/win32.h"

namespace kob {

class WaveFile;

constexpr int slotBufferCount = 100;

extern IDirectSound* AudioDevice;
extern IDirectSoundBuffer* slotBuffers[slotBufferCount];
extern WaveFile* slotWaves[slotBufferCount];
extern std::uint32_t slotBufferBytes[slotBufferCount];

// Passes of the restore loop before a buffer that stays lost is given up:
// about one second of 10 ms waits.
constexpr int restorePassLimit = 100;

HRESULT createAudioDevice();
HRESULT releaseAudioDevice();
HRESULT loadSlot(std::uint16_t slot, const char* path);
HRESULT createSlotBuffer(std::uint16_t slot, const char* path);
HRESULT fillSlotBuffer(std::uint16_t slot);
HRESULT restoreSlotBuffer(std::uint16_t slot);
HRESULT playSlot(std::uint16_t slot, int looping);
// 1 while playing, 0 when not, E_FAIL without a buffer (callers test only for zero).
HRESULT isSlotPlaying(std::uint16_t slot);
HRESULT releaseSlot(std::uint16_t slot);

}  // namespace kob
