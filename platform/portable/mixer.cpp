// Mixing by blocks: direct voices first, then one resampled sum per rate.
#include "mixer.h"

#include <algorithm>

#include "resampler.h"

namespace kob::platform {

// The voices that share one source rate, summed at that rate and resampled.
class Mixer::RateGroup final : public ResamplerInput {
public:
    RateGroup(std::uint32_t rate, std::uint32_t deviceRate, const std::vector<Voice*>& voices)
        : voices_(voices), resampler_(rate, deviceRate, *this) {}

    std::uint32_t rate() const noexcept { return resampler_.inputRate(); }

    // Adds this group's next frames into out (through scratch), unless it has
    // long been silent: then the resampler's state is all silence too, and it
    // can wait, untouched, for a voice to start.
    void renderInto(std::span<float> out, std::span<float> scratch) noexcept {
        if (!anyPlaying() && quietInputFrames_ >= kIdleAfterQuietFrames) return;
        resampler_.produce(scratch);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] += scratch[i];
    }

    void fill(std::span<float> stereoFrames) noexcept override {
        std::fill(stereoFrames.begin(), stereoFrames.end(), 0.0f);
        bool sounded = false;
        for (Voice* voice : voices_) {
            if (!voice->playing || voice->shape.framesPerSecond != rate()) continue;
            mixVoice(*voice, stereoFrames);
            sounded = true;
        }
        const std::size_t frames = stereoFrames.size() / 2;
        quietInputFrames_ = sounded ? 0 : std::min(quietInputFrames_ + frames, kIdleAfterQuietFrames);
    }

private:
    bool anyPlaying() const noexcept {
        return std::any_of(voices_.begin(), voices_.end(),
                           [&](const Voice* v) { return v->playing && v->shape.framesPerSecond == rate(); });
    }

    // Well beyond the filter's length and read-ahead at any rate.
    static constexpr std::size_t kIdleAfterQuietFrames = 4 * StreamResampler::kMaxInputFrames;

    const std::vector<Voice*>& voices_;
    StreamResampler resampler_;
    std::size_t quietInputFrames_ = kIdleAfterQuietFrames;
};

Mixer::Mixer(std::uint32_t deviceRate) : deviceRate_(deviceRate) {}
Mixer::~Mixer() = default;

void Mixer::setDeviceRate(std::uint32_t framesPerSecond) {
    if (framesPerSecond == deviceRate_) return;
    groups_.clear();
    deviceRate_ = framesPerSecond;
    for (const Voice* voice : voices_)
        if (voice->playing) prepare(*voice);
}

void Mixer::attach(Voice& voice) {
    if (std::find(voices_.begin(), voices_.end(), &voice) == voices_.end()) voices_.push_back(&voice);
}

void Mixer::detach(Voice& voice) noexcept { std::erase(voices_, &voice); }

void Mixer::clear() noexcept {
    voices_.clear();
    groups_.clear();
}

void Mixer::prepare(const Voice& voice) {
    const std::uint32_t rate = voice.shape.framesPerSecond;
    if (rate == deviceRate_ || groupFor(rate)) return;
    groups_.push_back(std::make_unique<RateGroup>(rate, deviceRate_, voices_));
}

Mixer::RateGroup* Mixer::groupFor(std::uint32_t rate) noexcept {
    for (auto& group : groups_)
        if (group->rate() == rate) return group.get();
    return nullptr;
}

void Mixer::render(std::span<float> stereoOut) noexcept {
    std::fill(stereoOut.begin(), stereoOut.end(), 0.0f);
    for (std::size_t start = 0; start < stereoOut.size(); start += kBlockFrames * 2) {
        const std::span<float> block = stereoOut.subspan(start, std::min(kBlockFrames * 2, stereoOut.size() - start));
        for (Voice* voice : voices_)
            if (voice->playing && voice->shape.framesPerSecond == deviceRate_) mixVoice(*voice, block);
        for (auto& group : groups_) group->renderInto(block, std::span<float>(groupBlock_).first(block.size()));
    }
}

}  // namespace kob::platform
