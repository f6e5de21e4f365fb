// Comparing names without regard to case, as Windows does for file, section,
// key, window and module names (ASCII letters only).
#pragma once

#include <string_view>

namespace kob::platform {

inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

}  // namespace kob::platform
