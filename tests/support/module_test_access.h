// What a test may reach inside a freshly loaded module besides its exports.
// Only the test build of the module carries this; the product exports its two
// records and nothing else.
#pragma once

#include "audio/wave_file.h"
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
};

}  // namespace kob::test

extern "C" const kob::test::ModuleTestAccess* kobModuleTestAccess();
