#include "check_command.h"

#include <cstdio>
#include <filesystem>

#include "config_check.h"

namespace kob::bench {

int runCheck(const Options& options) {
    // Relative WAV paths resolve from the simulator's folder; here, unless
    // told otherwise, from the folder the check runs in.
    const auto root = options.root.value_or(std::filesystem::current_path());
    const host::ConfigCheck check = host::checkConfiguration(options.ini, root);
    const std::string file = options.ini.string();
    for (const auto& finding : check.findings) {
        if (finding.line > 0) std::printf("%s:%zu: %s\n", file.c_str(), finding.line, finding.message.c_str());
        else std::printf("%s: %s\n", file.c_str(), finding.message.c_str());
    }
    const std::size_t count = check.findings.size();
    std::printf("%s: %d sound slot%s, %zu WAV file%s checked from %s: ", file.c_str(), check.slotCount,
                check.slotCount == 1 ? "" : "s", check.wavFilesChecked, check.wavFilesChecked == 1 ? "" : "s",
                std::filesystem::absolute(root).lexically_normal().string().c_str());
    if (count == 0) {
        std::printf("no problems found\n");
        return 0;
    }
    std::printf("%zu problem%s found\n", count, count == 1 ? "" : "s");
    return 1;
}

}  // namespace kob::bench
