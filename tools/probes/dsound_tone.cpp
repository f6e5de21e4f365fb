// Plays a sine tone through the system's DirectSound and exits: the smallest
// proof that sound from a Windows program under Wine reaches the sound server.
//
// dsound_tone [milliseconds [frequency]]; exit code 0 when every call succeeded.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <vector>

#include "kob_platform/win32.h"

namespace {

constexpr DWORD sampleRate = 44100;

bool check(HRESULT result, const char* what) {
    if (SUCCEEDED(result)) return true;
    std::fprintf(stderr, "dsound_tone: %s failed: 0x%08lx\n", what, static_cast<unsigned long>(result));
    return false;
}

std::vector<short> sineSamples(DWORD milliseconds, double frequency) {
    std::vector<short> samples(static_cast<std::size_t>(sampleRate) * milliseconds / 1000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(
            16000.0 * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate));
    return samples;
}

bool play(IDirectSound* device, const std::vector<short>& samples, DWORD milliseconds) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = sampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = sampleRate * 2;

    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME;
    description.dwBufferBytes = static_cast<DWORD>(samples.size() * sizeof(short));
    description.lpwfxFormat = &format;

    IDirectSoundBuffer* buffer = nullptr;
    if (!check(device->CreateSoundBuffer(&description, &buffer, nullptr), "CreateSoundBuffer")) return false;
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    bool ok = check(buffer->Lock(0, description.dwBufferBytes, &part1, &bytes1, &part2, &bytes2, 0), "Lock");
    if (ok) {
        std::memcpy(part1, samples.data(), bytes1);
        ok = check(buffer->Unlock(part1, bytes1, part2, bytes2), "Unlock") &&
             check(buffer->Play(0, 0, 0), "Play");
    }
    if (ok) {
        Sleep(milliseconds + 200);
        ok = check(buffer->Stop(), "Stop");
    }
    buffer->Release();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD milliseconds = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 1000;
    const double frequency = argc > 2 ? std::strtod(argv[2], nullptr) : 1000.0;
    IDirectSound* device = nullptr;
    if (!check(DirectSoundCreate(nullptr, &device, nullptr), "DirectSoundCreate")) return 1;
    bool ok = check(device->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY), "SetCooperativeLevel") &&
              play(device, sineSamples(milliseconds, frequency), milliseconds);
    device->Release();
    return ok ? 0 : 1;
}
