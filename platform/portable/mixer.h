// The software mixer behind the portable DirectSound: sums every playing
// voice into stereo float at the device rate.
//
// Voices at the device rate are added directly. Volume and pan are linear, so
// the voices that share any other rate are summed at that rate (with their
// gains) and go through one streaming resampler for that rate.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "voice.h"

namespace kob::platform {

class Mixer {
public:
    explicit Mixer(std::uint32_t deviceRate);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    std::uint32_t deviceRate() const noexcept { return deviceRate_; }
    // Restarts the resamplers for the new rate.
    void setDeviceRate(std::uint32_t framesPerSecond);

    // Voices the mixer looks at; a voice must be detached before it goes away.
    void attach(Voice& voice);
    void detach(Voice& voice) noexcept;
    // Forgets every voice and resampler.
    void clear() noexcept;

    // Makes sure a voice about to play can be resampled, so render() never
    // allocates. Throws std::bad_alloc or std::runtime_error.
    void prepare(const Voice& voice);

    // Overwrites stereoOut with the next stereoOut.size() / 2 frames.
    void render(std::span<float> stereoOut) noexcept;

private:
    class RateGroup;
    RateGroup* groupFor(std::uint32_t rate) noexcept;

    static constexpr std::size_t kBlockFrames = 512;

    std::uint32_t deviceRate_;
    std::vector<Voice*> voices_;
    std::vector<std::unique_ptr<RateGroup>> groups_;
    std::array<float, kBlockFrames * 2> groupBlock_{};
};

}  // namespace kob::platform
