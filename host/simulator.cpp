#include "simulator.h"

#include <cstring>

#include "simulator_registration.h"

namespace kob::host {

SimulatorStandIn::SimulatorStandIn() {
    setSoundState(1);
    registerSimulatorWindow();
    setPresent(true);
}

SimulatorStandIn::~SimulatorStandIn() { setPresent(false); }

void SimulatorStandIn::setSoundState(std::int32_t state) {
    write(soundStateOffset, &state, sizeof state);
}

void SimulatorStandIn::write(std::size_t offset, const void* bytes, std::size_t size) {
    std::memcpy(memory_.data() + offset, bytes, size);
    if (live_ && live_ != memory_.data()) std::memcpy(live_ + offset, bytes, size);
}

std::int32_t SimulatorStandIn::soundState() const {
    std::int32_t state = 0;
    std::memcpy(&state, memory_.data() + soundStateOffset, sizeof state);
    return state;
}

void SimulatorStandIn::setPresent(bool present) {
    if (present == present_) return;
    if (present) {
        live_ = registerSimulatorModule(memory_);
    } else {
        unregisterSimulatorModule();
        live_ = nullptr;
    }
    present_ = present;
}

}  // namespace kob::host
