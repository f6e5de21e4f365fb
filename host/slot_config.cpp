#include "slot_config.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "kob_platform/win32.h"

namespace kob::host {
namespace {

std::string profileString(const char* section, const std::string& key, const char* fallback, const std::string& ini,
                          DWORD capacity) {
    std::array<char, 256> buffer{};
    GetPrivateProfileStringA(section, key.c_str(), fallback, buffer.data(), std::min<DWORD>(capacity, buffer.size()),
                             ini.c_str());
    return buffer.data();
}

std::string twoDigits(int index) { return (index < 10 ? "0" : "") + std::to_string(index); }

}  // namespace

std::vector<SlotConfig> readSlotConfig(const std::string& iniPath) {
    const std::string maxSounds = profileString("Config", "MaxSounds", "100", iniPath, 5);
    const int count = std::clamp(static_cast<int>(std::strtol(maxSounds.c_str(), nullptr, 10)), 0, 100);
    std::vector<SlotConfig> slots;
    slots.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        SlotConfig slot;
        slot.index = i;
        const std::string sound = profileString("Sounds", "Sound" + twoDigits(i), "", iniPath, 128);
        const std::string lvar = profileString("LVars", "Lvar" + twoDigits(i), "", iniPath, 128);
        slot.named = !sound.empty() || !lvar.empty();
        slot.wav = sound.empty() ? "./Sound/kob/kob_xml_" + twoDigits(i) + ".wav" : sound.substr(0, sound.find(','));
        slot.variable = lvar.empty() ? "kob_xml_id_" + twoDigits(i) : lvar;
        slots.push_back(std::move(slot));
    }
    return slots;
}

}  // namespace kob::host
