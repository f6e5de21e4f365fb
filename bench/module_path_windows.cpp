#include "module_path.h"

#include "kob_platform/win32.h"

namespace kob::bench {

std::filesystem::path defaultModulePath() {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const auto folder = std::filesystem::path(self).parent_path();
        std::error_code error;
        for (const auto& candidate : {folder / "kob_vorlo3.dll", folder / ".." / "src" / "kob_vorlo3.dll"})
            if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
    }
    return KOB_DEFAULT_MODULE;
}

}  // namespace kob::bench
