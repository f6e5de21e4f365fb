#include "mmio_faults.h"

#include <array>

namespace kob::platform {
namespace {

struct FaultPlan {
    int successesFirst = 0;
    int failures = 0;  // mmioFailForever: no end
};

constexpr std::size_t callCount = 5;

std::array<FaultPlan, callCount>& plans() {
    static std::array<FaultPlan, callCount> instance{};
    return instance;
}

FaultPlan& planOf(MmioCall call) { return plans()[static_cast<std::size_t>(call)]; }

}  // namespace

void failMmioCall(MmioCall call, int times, int successesFirst) {
    planOf(call) = FaultPlan{successesFirst < 0 ? 0 : successesFirst, times < 0 ? mmioFailForever : times};
}

void clearMmioFaults() { plans().fill(FaultPlan{}); }

bool mmioCallFails(MmioCall call) {
    FaultPlan& plan = planOf(call);
    if (plan.failures == 0) return false;
    if (plan.successesFirst > 0) {
        --plan.successesFirst;
        return false;
    }
    if (plan.failures > 0) --plan.failures;
    return true;
}

}  // namespace kob::platform
