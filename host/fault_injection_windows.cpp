#include "fault_injection.h"

#include <stdexcept>

namespace kob::host {

void applyFault(const event::Fault&, const SlotActivity&) {
    throw std::runtime_error(
        "faults need the portable platform; this build plays through the system's DirectSound (run it natively)");
}

}  // namespace kob::host
