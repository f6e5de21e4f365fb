// Applies a scenario's platform fault. The portable platform injects them;
// a platform that cannot (a real sound device) supplies an implementation
// that refuses them.
#pragma once

#include "scenario.h"
#include "slot_activity.h"

namespace kob::host {

// Throws std::runtime_error (one line, without a location) when the fault
// names a slot that has no buffer yet.
void applyFault(const event::Fault& fault, const SlotActivity& activity);

}  // namespace kob::host
