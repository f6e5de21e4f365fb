// Creating and releasing the module's DirectSound device.
#include "audio/slot_buffers.h"

namespace kob {

constinit IDirectSound* AudioDevice = nullptr;

namespace {

// What the device's probe buffer is made with: the largest software buffer
// DirectSound accepts, 22050 Hz 16-bit stereo, with volume and pan control.
WAVEFORMATEX probeFormat() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 22050;
    format.nAvgBytesPerSec = 88200;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

}  // namespace

HRESULT createAudioDevice() {
    // A second call replaces the device without releasing the first, as designed.
    HRESULT result = DirectSoundCreate(nullptr, &AudioDevice, nullptr);
    if (FAILED(result)) return result;

    HWND window = FindWindowA("FS98MAIN", nullptr);
    result = AudioDevice->SetCooperativeLevel(window, DSSCL_NORMAL);
    if (FAILED(result)) return result;

    WAVEFORMATEX format = probeFormat();
    DSBUFFERDESC description{};
    description.dwSize = sizeof(DSBUFFERDESC);
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_LOCSOFTWARE;
    description.dwBufferBytes = DSBSIZE_MAX;
    description.dwReserved = 0;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* probe = nullptr;
    result = AudioDevice->CreateSoundBuffer(&description, &probe, nullptr);
    if (FAILED(result)) return result;
    if (probe) probe->Release();
    return S_OK;
}

HRESULT releaseAudioDevice() {
    if (AudioDevice) {
        AudioDevice->Release();
        AudioDevice = nullptr;
    }
    return S_OK;
}

}  // namespace kob
