// Loading a slot's WAV file into one static buffer of its data size, playing
// it, restoring a lost buffer, and releasing the slot.
#include "audio/slot_buffers.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "audio/wave_file.h"

namespace kob {

constinit IDirectSoundBuffer* slotBuffers[slotBufferCount] = {};
constinit WaveFile* slotWaves[slotBufferCount] = {};
constinit std::uint32_t slotBufferBytes[slotBufferCount] = {};

namespace {

void destroyWave(std::uint16_t slot) {
    delete slotWaves[slot];
    slotWaves[slot] = nullptr;
}

void releaseBuffer(std::uint16_t slot) {
    if (slotBuffers[slot]) {
        slotBuffers[slot]->Release();
        slotBuffers[slot] = nullptr;
    }
}

}  // namespace

HRESULT createSlotBuffer(std::uint16_t slot, const char* path) {
    destroyWave(slot);
    releaseBuffer(slot);  // not stopped first, as designed

    WaveFile* wave = new (std::nothrow) WaveFile();
    if (!wave) return E_OUTOFMEMORY;
    slotWaves[slot] = wave;
    if (FAILED(wave->open(path))) return E_FAIL;

    DSBUFFERDESC description{};
    description.dwSize = sizeof(DSBUFFERDESC);
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
    description.dwBufferBytes = wave->dataChunk.cksize;
    description.dwReserved = 0;
    description.lpwfxFormat = wave->format;

    // Without a device there is nothing to create the buffer from.
    if (!AudioDevice) return E_FAIL;
    const HRESULT result = AudioDevice->CreateSoundBuffer(&description, &slotBuffers[slot], nullptr);
    if (FAILED(result)) return result;
    slotBufferBytes[slot] = description.dwBufferBytes;
    return S_OK;
}

HRESULT fillSlotBuffer(std::uint16_t slot) {
    WaveFile* wave = slotWaves[slot];
    IDirectSoundBuffer* buffer = slotBuffers[slot];
    const DWORD size = wave->dataChunk.cksize;

    auto* data = static_cast<BYTE*>(std::malloc(size > 0 ? size : 1));
    if (!data) return E_OUTOFMEMORY;

    DWORD delivered = 0;
    HRESULT result = wave->read(size, data, &delivered);
    if (FAILED(result)) {
        std::free(data);
        return result;
    }
    wave->seekToData();

    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD length1 = 0;
    DWORD length2 = 0;
    result = buffer->Lock(0, slotBufferBytes[slot], &region1, &length1, &region2, &length2, 0);
    if (FAILED(result)) {
        std::free(data);
        return result;
    }
    // Never more than the locked region holds, whatever was delivered.
    std::memcpy(region1, data, delivered < length1 ? delivered : length1);
    buffer->Unlock(region1, slotBufferBytes[slot], nullptr, 0);
    std::free(data);
    return S_OK;
}

HRESULT restoreSlotBuffer(std::uint16_t slot) {
    IDirectSoundBuffer* buffer = slotBuffers[slot];
    if (!buffer) return S_OK;
    DWORD status = 0;
    HRESULT result = buffer->GetStatus(&status);
    if (FAILED(result)) return result;
    if ((status & DSBSTATUS_BUFFERLOST) == 0) return S_OK;

    // Bounded, so a buffer that can never come back cannot hold the host's thread.
    bool restored = false;
    for (int pass = 0; pass < restorePassLimit && !restored; ++pass) {
        if (buffer->Restore() == DSERR_BUFFERLOST) Sleep(10);
        restored = buffer->Restore() == DS_OK;
    }
    if (!restored) return DSERR_BUFFERLOST;

    result = fillSlotBuffer(slot);
    return FAILED(result) ? result : S_OK;
}

HRESULT loadSlot(std::uint16_t slot, const char* path) {
    const HRESULT result = createSlotBuffer(slot, path);
    if (FAILED(result)) return result;
    return fillSlotBuffer(slot);
}

HRESULT playSlot(std::uint16_t slot, int looping) {
    if (!slotBuffers[slot]) return E_FAIL;
    HRESULT result = restoreSlotBuffer(slot);
    if (FAILED(result)) return result;
    result = slotBuffers[slot]->Play(0, 0, looping != 0 ? DSBPLAY_LOOPING : 0);
    return FAILED(result) ? result : S_OK;
}

HRESULT isSlotPlaying(std::uint16_t slot) {
    if (!slotBuffers[slot]) return E_FAIL;
    DWORD status = 0;
    slotBuffers[slot]->GetStatus(&status);
    return (status & DSBSTATUS_PLAYING) != 0 ? 1 : 0;
}

HRESULT releaseSlot(std::uint16_t slot) {
    destroyWave(slot);
    releaseBuffer(slot);
    return S_OK;
}

}  // namespace kob
