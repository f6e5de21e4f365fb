#include "module_path.h"

#include <system_error>

namespace kob::bench {

std::filesystem::path defaultModulePath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto folder = self.parent_path();
        for (const auto& candidate : {folder / "kob_vorlo3.so", folder / ".." / "src" / "kob_vorlo3.so"})
            if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
    }
    return KOB_DEFAULT_MODULE;
}

}  // namespace kob::bench
