// The end-of-run summary: per slot its variable, its WAV and what its sound did.
#pragma once

#include <cstdio>
#include <vector>

#include "slot_activity.h"

namespace kob::bench {

// Lists the slots the INI names and those that got a buffer.
void printSummary(std::FILE* out, const std::vector<host::SlotSummary>& slots);

}  // namespace kob::bench
