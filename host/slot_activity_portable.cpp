#include "slot_activity.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "kob_platform/win32.h"

namespace kob::host {
namespace {

// The command a control value carries, as the module decodes it; -1 for none.
int commandOf(double value) {
    if (!std::isfinite(value)) return -1;
    const double truncated = std::trunc(value);
    if (truncated < std::numeric_limits<std::int32_t>::min() || truncated > std::numeric_limits<std::int32_t>::max())
        return -1;
    const auto v = static_cast<std::int64_t>(truncated);
    return static_cast<int>((v < 0 ? -v : v) % 100);
}

// Opens as the module opens it, and begins as a RIFF WAVE file does.
bool looksLikeWave(const std::string& path) {
    FILE* file = fopenWindowsPath(path.c_str(), "rb");
    if (!file) return false;
    std::array<char, 12> head{};
    const bool ok = std::fread(head.data(), 1, head.size(), file) == head.size() &&
                    std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WAVE", 4) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace

SlotActivity::SlotActivity(std::vector<SlotConfig> slots) : seen_(slots.size()), seenAfterUpdate_(slots.size()) {
    slots_.reserve(slots.size());
    for (auto& config : slots) slots_.push_back(SlotSummary{std::move(config), {}, 0, 0, 0, 0});
}

void SlotActivity::beforeUpdate(const PanelHost& host) {
    loading_.clear();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].buffer) continue;
        const int command = commandOf(host.value(slots_[i].config.variable));
        if (command >= 1 && command <= 4 && looksLikeWave(slots_[i].config.wav)) loading_.push_back(i);
    }
}

void SlotActivity::afterUpdate() {
    if (!loading_.empty()) {
        std::size_t next = 0;
        for (const auto& info : platform::liveBuffers()) {
            if (info.id <= lastBuffer_) continue;
            lastBuffer_ = info.id;
            if (info.probe || next >= loading_.size()) continue;
            slots_[loading_[next++]].buffer = info.id;
        }
        loading_.clear();
    }
    poll(false, 0, 0);
}

void SlotActivity::afterRender(std::uint64_t renderedFrames, std::uint32_t deviceRate) {
    poll(true, renderedFrames, deviceRate);
}

void SlotActivity::poll(bool afterRender, std::uint64_t renderedFrames, std::uint32_t deviceRate) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        auto& slot = slots_[i];
        if (!slot.buffer) continue;
        const auto info = platform::bufferInfo(*slot.buffer);
        Seen now{};
        if (info) now = Seen{info->playing, info->looping, info->positionBytes, info->volume <= DSBVOLUME_MIN};
        Seen& before = seen_[i];
        if (!afterRender) seenAfterUpdate_[i] = now;
        if (!afterRender) {
            // An update starts and stops sounds.
            if (now.playing && !before.playing) ++slot.started;
            if (!now.playing && before.playing) ++slot.stopped;
        } else if (info && before.playing) {
            // A render plays them: a played-once sound may end, a loop wraps.
            if (!now.playing && !before.looping) {
                ++slot.ended;
            } else if (now.playing && now.looping && info->sizeBytes > 0 && deviceRate > 0) {
                const double advance = static_cast<double>(renderedFrames) * info->format.nSamplesPerSec /
                                       deviceRate * info->format.nBlockAlign;
                if (advance > info->sizeBytes)  // shorter than a frame: several wraps per render
                    slot.looped += static_cast<unsigned>((before.position + advance) / info->sizeBytes);
                else if (now.position < before.position)
                    ++slot.looped;
            }
        }
        before = now;
    }
}

std::optional<platform::BufferId> SlotActivity::bufferOf(int slot) const {
    if (slot < 0 || static_cast<std::size_t>(slot) >= slots_.size()) return std::nullopt;
    return slots_[static_cast<std::size_t>(slot)].buffer;
}

SlotPlayState SlotActivity::state(std::size_t slot) const {
    return slot < seen_.size() ? stateOf(seen_[slot]) : SlotPlayState::Idle;
}

SlotPlayState SlotActivity::stateAfterUpdate(std::size_t slot) const {
    return slot < seenAfterUpdate_.size() ? stateOf(seenAfterUpdate_[slot]) : SlotPlayState::Idle;
}

SlotPlayState SlotActivity::stateOf(const Seen& seen) {
    if (!seen.playing) return SlotPlayState::Idle;
    if (seen.silent) return SlotPlayState::Muted;
    return seen.looping ? SlotPlayState::Looping : SlotPlayState::PlayingOnce;
}

}  // namespace kob::host
