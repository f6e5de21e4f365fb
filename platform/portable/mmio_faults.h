// The mmio calls' side of fault injection.
#pragma once

#include "kob_platform/mmio_control.h"

namespace kob::platform {

// Whether this call of `call` is one a test asked to fail; counts it.
bool mmioCallFails(MmioCall call);

}  // namespace kob::platform
