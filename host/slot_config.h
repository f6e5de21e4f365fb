// The slots an INI file configures, read as the module reads them (the same
// keys and defaults), so the bench can name each slot's variable and WAV.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kob::host {

struct SlotConfig {
    int index = 0;
    std::string variable;  // the slot's control variable
    std::string wav;       // the WAV path as written (relative to the working folder)
    bool named = false;    // the INI has a Sounds or LVars key for it
};

// Every slot the file configures, in ascending order.
std::vector<SlotConfig> readSlotConfig(const std::string& iniPath);

}  // namespace kob::host
