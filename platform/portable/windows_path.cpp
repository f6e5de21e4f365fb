#include "windows_path.h"

namespace kob::platform {

// First cut: separators only. Case and trailing-dot handling follow.
std::string resolveWindowsPath(const char* path) {
    std::string result = path ? path : "";
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

}  // namespace kob::platform
