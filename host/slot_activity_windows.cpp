// A real sound device does not let the bench see its buffers: under Windows
// no buffer is attributed and no start, loop or end is counted.
#include "slot_activity.h"

namespace kob::host {

SlotActivity::SlotActivity(std::vector<SlotConfig> slots) : seen_(slots.size()) {
    slots_.reserve(slots.size());
    for (auto& config : slots) slots_.push_back(SlotSummary{std::move(config), {}, 0, 0, 0, 0});
}

void SlotActivity::beforeUpdate(const PanelHost&) {}
void SlotActivity::afterUpdate() {}
void SlotActivity::afterRender(std::uint64_t, std::uint32_t) {}
void SlotActivity::poll(bool, std::uint64_t, std::uint32_t) {}

std::optional<platform::BufferId> SlotActivity::bufferOf(int) const { return std::nullopt; }
SlotPlayState SlotActivity::state(std::size_t) const { return SlotPlayState::Idle; }
SlotPlayState SlotActivity::stateAfterUpdate(std::size_t) const { return SlotPlayState::Idle; }

}  // namespace kob::host
