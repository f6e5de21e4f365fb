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
    std::memcpy(memory_.data() + soundStateOffset, &state, sizeof state);
}

std::int32_t SimulatorStandIn::soundState() const {
    std::int32_t state = 0;
    std::memcpy(&state, memory_.data() + soundStateOffset, sizeof state);
    return state;
}

void SimulatorStandIn::setPresent(bool present) {
    if (present == present_) return;
    if (present) registerSimulatorModule(memory_.data());
    else unregisterSimulatorModule();
    present_ = present;
}

}  // namespace kob::host
