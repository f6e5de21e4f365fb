// Test control of the portable mmio calls: injected failures and a count of
// open files. Not part of the Win32 seam; module code never includes it.
#pragma once

#include <cstddef>

namespace kob::platform {

// The mmio calls whose failure a test can provoke.
enum class MmioCall {
    getInfo,  // mmioGetInfo returns MMSYSERR_INVALHANDLE, the record untouched
    advance,  // mmioAdvance returns MMIOERR_CANNOTREAD, buffer and record untouched
    setInfo,  // mmioSetInfo returns MMSYSERR_INVALHANDLE, the state not taken back
    ascend,   // mmioAscend returns MMIOERR_CANNOTSEEK, the position unchanged
    seek,     // mmioSeek returns -1, the position unchanged
};

constexpr int mmioFailForever = -1;

// After `successesFirst` calls that behave normally, the next `times` calls
// (every later one with mmioFailForever) fail. Replaces the call's earlier plan.
// Calls with an invalid handle or argument fail as usual and do not count.
void failMmioCall(MmioCall call, int times = 1, int successesFirst = 0);

// Forgets every injected mmio failure.
void clearMmioFaults();

// Files opened with mmioOpenA and not closed yet.
std::size_t openMmioFileCount();

}  // namespace kob::platform
