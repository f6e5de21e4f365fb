#include "module_test_access.h"

#include <new>

#include "audio/wave_file.h"
#include "config/read_configuration.h"

extern "C" __attribute__((visibility("default"))) const kob::test::ModuleTestAccess* kobModuleTestAccess() {
    using kob::WaveFile;
    static const kob::test::ModuleTestAccess access = {
        &kob::gaugeState,
        kob::SlotTable,
        kob::readConfiguration,
        kob::openWaveFile,
        kob::readWaveFormat,
        kob::readWaveData,
        []() -> WaveFile* { return new (std::nothrow) WaveFile(); },
        [](WaveFile* wave) { delete wave; },
        [](WaveFile* wave, const char* path) { return wave->open(path); },
        [](WaveFile* wave) { return wave->seekToData(); },
        [](WaveFile* wave, DWORD count, BYTE* destination, DWORD* countReadOut) {
            return wave->read(count, destination, countReadOut);
        },
        [](const WaveFile* wave) { return wave->format; },
        [](const WaveFile* wave) { return wave->handle; },
        [](WaveFile* wave) { return &wave->dataChunk; },
        [](WaveFile* wave) { return &wave->riffChunk; },
        &kob::AudioDevice,
        kob::slotBuffers,
        kob::slotWaves,
        kob::slotBufferBytes,
        kob::createAudioDevice,
        kob::releaseAudioDevice,
        kob::loadSlot,
        kob::createSlotBuffer,
        kob::fillSlotBuffer,
        kob::restoreSlotBuffer,
        kob::playSlot,
        kob::isSlotPlaying,
        kob::releaseSlot,
        kob::toControlValue,
        kob::decodeControlValue,
        kob::reportedLevelOf,
    };
    return &access;
}
