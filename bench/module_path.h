// Where kob-bench finds the module when --module does not say.
#pragma once

#include <filesystem>

namespace kob::bench {

// The native module built beside this executable (build/<preset>/src), else
// the one this executable was built with.
std::filesystem::path defaultModulePath();

}  // namespace kob::bench
