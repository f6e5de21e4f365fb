// Turning a path written as on Windows into one this file system can open.
#pragma once

#include <string>

namespace kob::platform {

// Accepts '\' and '/' as separators, drops trailing spaces and dots from each
// component, and where a component has no exact match in its folder takes
// the entry that matches it without regard to case. Components that match
// nothing are kept as written, so opening the result fails as it should.
std::string resolveWindowsPath(const char* path);

}  // namespace kob::platform
