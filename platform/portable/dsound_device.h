// The DirectSound device: cooperative level and secondary buffers.
#pragma once

#include <string_view>
#include <vector>

#include "kob_platform/audio_control.h"

namespace kob::platform {

class SoundDevice final : public IDirectSound {
public:
    // Joins the live devices; called under the audio lock.
    SoundDevice();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    ULONG AddRef() override;
    // The last Release gives the device up, and with it its buffers: those
    // still held stop and refuse every further call but AddRef/Release.
    ULONG Release() override;
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC description, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;

    // The platform was reset: calls fail from now on.
    void detach() noexcept { detached_ = true; }

private:
    HRESULT logged(std::string_view method, BufferId buffer, std::vector<std::int64_t> args, HRESULT result);

    ULONG references_ = 1;
    bool detached_ = false;
};

}  // namespace kob::platform
