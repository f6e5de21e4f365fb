// kob-bench check INI [--root DIR]: the findings as FILE:LINE: WHAT, then a
// summary line. Exit status 0 with no findings, 1 with some.
#pragma once

#include "options.h"

namespace kob::bench {

// Throws host::CheckInputError when the INI or the root cannot be used.
int runCheck(const Options& options);

}  // namespace kob::bench
