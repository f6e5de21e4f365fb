// A secondary buffer: bytes written through Lock/Unlock, played by the mixer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "kob_platform/audio_control.h"
#include "sample_memory.h"
#include "voice.h"

namespace kob::platform {

class SoundDevice;

class SoundBuffer final : public IDirectSoundBuffer {
public:
    // Takes no memory for the samples yet (the first Lock does). Joins the
    // live buffers and the mixer; called under the audio lock.
    SoundBuffer(BufferId id, SoundDevice& device, const DSBUFFERDESC& description);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetStatus(LPDWORD status) override;
    HRESULT GetVolume(LPLONG volume) override;
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audioPtr1, LPDWORD audioBytes1, LPVOID* audioPtr2,
                 LPDWORD audioBytes2, DWORD flags) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT SetCurrentPosition(DWORD newPosition) override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT Stop() override;
    HRESULT Unlock(LPVOID audioPtr1, DWORD audioBytes1, LPVOID audioPtr2, DWORD audioBytes2) override;
    HRESULT Restore() override;

    // For the control interface, under the audio lock.
    BufferId id() const noexcept { return id_; }
    const SoundDevice* device() const noexcept { return device_; }
    BufferInfo info() const;
    std::vector<std::uint8_t> contents() const;
    void lose(std::uint32_t failingRestores) noexcept;
    // Its device is gone (or the platform was reset): it stops, leaves the
    // mixer and refuses every further call but AddRef/Release.
    void detach() noexcept;

private:
    struct LockedRegions {
        std::uint8_t* first;
        DWORD firstBytes;
        std::uint8_t* second;
        DWORD secondBytes;
    };

    HRESULT logged(std::string_view method, std::initializer_list<std::int64_t> args, HRESULT result);
    bool allocate() noexcept;
    void fillWithSilence() noexcept;
    void applyGain() noexcept;
    std::int64_t offsetOf(const void* pointer) const noexcept;

    const BufferId id_;
    SoundDevice* device_;  // null once detached
    const DWORD flags_;
    const DWORD size_;
    const WAVEFORMATEX format_;
    const bool probe_;
    ULONG references_ = 1;
    SampleMemory data_;
    std::vector<LockedRegions> locks_;
    LONG volume_ = DSBVOLUME_MAX;
    LONG pan_ = DSBPAN_CENTER;
    bool lost_ = false;
    std::uint32_t failingRestores_ = 0;
    Voice voice_;
};

}  // namespace kob::platform
