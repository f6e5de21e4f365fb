// What a test may reach inside a freshly loaded module besides its exports.
// Only the test build of the module carries this; the product exports its two
// records and nothing else.
#pragma once

#include "audio/slot_buffers.h"
#include "audio/wave_file.h"
#include "control/slot_command_cycle.h"
#include "config/sound_slot.h"
#include "kob_platform/win32.h"
#include "module/gauge_state.h"

namespace kob::test {

struct ModuleTestAccess {
    GaugeState* gaugeState;
    SoundSlot* slotTable;
    void (*readConfiguration)(const char* parameter);

    // The wave file reader.
    HRESULT (*openWaveFile)(const char* path, HMMIO* handleOut, WAVEFORMATEX** formatOut, MMCKINFO* riffChunk);
    HRESULT (*readWaveFormat)(HMMIO handle, MMCKINFO* riffChunk, WAVEFORMATEX** formatOut);
    HRESULT (*readWaveData)(HMMIO handle, DWORD count, BYTE* destination, MMCKINFO* dataChunk,
                            DWORD* countReadOut);
    // A WaveFile made, used and destroyed by the module's own code.
    WaveFile* (*createWaveFile)();
    void (*destroyWaveFile)(WaveFile* wave);
    HRESULT (*openWave)(WaveFile* wave, const char* path);
    HRESULT (*seekWaveToData)(WaveFile* wave);
    HRESULT (*readWave)(WaveFile* wave, DWORD count, BYTE* destination, DWORD* countReadOut);
    WAVEFORMATEX* (*waveFormat)(const WaveFile* wave);
    HMMIO (*waveHandle)(const WaveFile* wave);
    MMCKINFO* (*waveDataChunk)(WaveFile* wave);
    MMCKINFO* (*waveRiffChunk)(WaveFile* wave);

    // The audio device and the slot buffers.
    IDirectSound** audioDevice;
    IDirectSoundBuffer** slotBuffers;
    WaveFile** slotWaves;
    std::uint32_t* slotBufferBytes;
    HRESULT (*createAudioDevice)();
    HRESULT (*releaseAudioDevice)();
    HRESULT (*loadSlot)(std::uint16_t slot, const char* path);
    HRESULT (*createSlotBuffer)(std::uint16_t slot, const char* path);
    HRESULT (*fillSlotBuffer)(std::uint16_t slot);
    HRESULT (*restoreSlotBuffer)(std::uint16_t slot);
    HRESULT (*playSlot)(std::uint16_t slot, int looping);
    HRESULT (*isSlotPlaying)(std::uint16_t slot);
    HRESULT (*releaseSlot)(std::uint16_t slot);

    // The control value encoding.
    std::optional<std::int32_t> (*toControlValue)(double value);
    DecodedControl (*decodeControlValue)(std::int32_t controlValue);
    std::int32_t (*reportedLevelOf)(std::int32_t attenuation);
};

}  // namespace kob::test

extern "C" const kob::test::ModuleTestAccess* kobModuleTestAccess();
