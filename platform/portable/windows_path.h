// Turning a path written as on Windows into one this file system can open.
#pragma once

#include <string>

namespace kob::platform {

// Accepts '\' and '/' as separators (runs of them count as one), drops
// trailing spaces and dots from each component, and folds "." and ".." away
// as written, the way Windows does before it looks at the disk. A leading
// separator or a drive letter ("C:\") starts at the file system's root; the
// letter itself is dropped. Each component then takes the folder entry of
// exactly that name or, when there is none, the entry that matches it without
// regard to (ASCII) case. From the first component that matches nothing on,
// the rest is kept as written, so opening the result fails as it should.
// A null or empty path gives an empty result, which opens nothing.
std::string resolveWindowsPath(const char* path);

}  // namespace kob::platform
