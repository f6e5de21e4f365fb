#include "config_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "ini_text.h"
#include "kob_platform/win32.h"
#include "wave_check.h"
#include "working_folder.h"

namespace kob::host {
namespace {

// The module's limits: the characters it keeps of each value.
constexpr std::size_t kMaxSoundsChars = 4;
constexpr std::size_t kSlotValueChars = 127;   // Sounds, LVars and LvarStop values
constexpr std::size_t kVolumeVarChars = 129;
constexpr int kMaxSlots = 100;

std::string twoDigits(int index) { return (index < 10 ? "0" : "") + std::to_string(index); }

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\n'; }

// What GetPrivateProfileStringA gives with a buffer of `size` characters.
std::string profileString(const std::string& ini, const char* section, const std::string& key, const char* fallback,
                          std::size_t size) {
    std::vector<char> buffer(size + 1, '\0');
    GetPrivateProfileStringA(section, key.c_str(), fallback, buffer.data(), static_cast<DWORD>(size + 1), ini.c_str());
    return buffer.data();
}

// The whole value, for telling whether the module's copy was cut.
std::string fullValue(const std::string& ini, const char* section, const std::string& key) {
    return profileString(ini, section, key, "", 1 << 16);
}

// A leading optional sign and decimal digits, as the module reads MaxSounds.
struct LeadingInteger {
    long long value = 0;
    bool digits = false;
    std::size_t end = 0;  // index past what was read
};

LeadingInteger leadingInteger(std::string_view text) {
    LeadingInteger result;
    std::size_t i = 0;
    while (i < text.size() && isWhite(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        result.digits = true;
        result.value = std::min(result.value * 10 + (text[i] - '0'), 0x80000000LL);
    }
    result.value = negative ? -result.value : result.value;
    result.end = result.digits ? i : 0;
    return result;
}

bool wholeInteger(std::string_view text) {
    const LeadingInteger n = leadingInteger(text);
    if (!n.digits) return false;
    std::size_t i = n.end;
    while (i < text.size() && isWhite(text[i])) ++i;
    return i == text.size();
}

std::string formatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// "Sound07" -> 7 for prefix "Sound"; nothing for another spelling.
std::optional<int> slotIndexOf(std::string_view key, std::string_view prefix) {
    if (key.size() != prefix.size() + 2 || !equalNoCase(key.substr(0, prefix.size()), prefix)) return std::nullopt;
    const char tens = key[prefix.size()];
    const char ones = key[prefix.size() + 1];
    if (!std::isdigit(static_cast<unsigned char>(tens)) || !std::isdigit(static_cast<unsigned char>(ones)))
        return std::nullopt;
    return (tens - '0') * 10 + (ones - '0');
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class Checker {
public:
    Checker(const std::filesystem::path& ini, const std::filesystem::path& root, IniText text)
        : ini_(std::filesystem::absolute(ini).string()), root_(root), text_(std::move(text)) {
        result_.file = ini;
    }

    ConfigCheck run() {
        checkRepeats();
        checkConfigKeys();
        checkSlotKeys("Sounds", "Sound");
        checkSlotKeys("LVars", "Lvar");
        readSlots();
        checkVariables();
        checkWaves();
        result_.slotCount = slotCount_;
        std::stable_sort(result_.findings.begin(), result_.findings.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        return std::move(result_);
    }

private:
    struct Slot {
        int index = 0;
        std::string wav;
        std::string variable;
        const IniKey* soundKey = nullptr;
        const IniKey* lvarKey = nullptr;
        std::size_t line() const { return soundKey ? soundKey->line : lvarKey ? lvarKey->line : 0; }
    };

    // "; note = x" is a key to the profile functions, but a harmless one the
    // designer meant as a comment: not worth a finding.
    static bool looksLikeComment(const std::string& name) { return !name.empty() && name.front() == ';'; }

    void report(std::size_t line, std::string message) { result_.findings.push_back({line, std::move(message)}); }
    std::size_t lineOf(const char* section, std::string_view key) const {
        const IniKey* k = text_.key(section, key);
        return k ? k->line : 0;
    }

    // Only the first section of a name is read, and in it only the first key of a name.
    void checkRepeats() {
        std::map<std::string, const IniSection*> firstSections;
        for (const auto& section : text_.sections) {
            const auto [first, isNew] = firstSections.emplace(lowerAscii(section.name), &section);
            if (!isNew) {
                report(section.line, "[" + section.name + "] appears again: only the first (line " +
                                         std::to_string(first->second->line) + ") is read, these keys are ignored");
                continue;
            }
            std::map<std::string, const IniKey*> firstKeys;
            for (const auto& key : section.keys) {
                const auto [firstKey, keyIsNew] = firstKeys.emplace(lowerAscii(key.name), &key);
                if (!keyIsNew)
                    report(key.line, key.name + " appears again in [" + section.name + "]: only the first (line " +
                                         std::to_string(firstKey->second->line) + ") counts");
            }
        }
    }

    void checkConfigKeys() {
        // MaxSounds: its first 4 characters as a leading integer, above 100 taken as 100.
        const std::string maxSounds = profileString(ini_, "Config", "MaxSounds", "100", kMaxSoundsChars);
        const LeadingInteger n = leadingInteger(maxSounds);
        slotCount_ = static_cast<int>(std::clamp<long long>(n.value, 0, kMaxSlots));
        if (const IniKey* key = text_.key("Config", "MaxSounds")) {
            const std::string full = fullValue(ini_, "Config", "MaxSounds");
            const std::string slots = std::to_string(slotCount_) + " sound slot" + (slotCount_ == 1 ? "" : "s");
            if (full.empty())
                report(key->line, "MaxSounds is empty: the module makes 0 sound slots (leave the key out for 100)");
            else if (!n.digits)
                report(key->line, "MaxSounds=" + full + " is not a number: the module makes 0 sound slots");
            else if (leadingInteger(full).value != n.value)
                report(key->line, "MaxSounds=" + full + ": only its first 4 characters are read (\"" + maxSounds +
                                      "\"), giving " + slots);
            else if (n.value > kMaxSlots)
                report(key->line, "MaxSounds=" + full + " is above 100: the module makes 100 sound slots");
            else if (n.value < 0)
                report(key->line, "MaxSounds=" + full + " is negative: the module makes 0 sound slots");
            else if (!wholeInteger(full))
                report(key->line, "MaxSounds=" + full + " is not a whole number: read as " + slots);
        }

        const int errorFlag = static_cast<int>(GetPrivateProfileIntA("Config", "ErrorFlag", 0, ini_.c_str()));
        errorFlag_ = errorFlag == -1 ? -1 : 0;
        if (const IniKey* key = text_.key("Config", "ErrorFlag")) {
            const std::string full = fullValue(ini_, "Config", "ErrorFlag");
            if (!full.empty() && (errorFlag != 0 && errorFlag != -1))
                report(key->line, "ErrorFlag=" + full + " counts as 0: only -1 and 0 have a meaning");
            else if (!full.empty() && !wholeInteger(full))
                report(key->line, "ErrorFlag=" + full + " is not a whole number: read as " +
                                      std::to_string(errorFlag));
        }
        if (const IniKey* key = text_.key("Config", "ResetVolumeVar")) {
            const std::string full = fullValue(ini_, "Config", "ResetVolumeVar");
            if (!full.empty() && !wholeInteger(full))
                report(key->line, "ResetVolumeVar=" + full + " is not a whole number: read as " +
                                      std::to_string(static_cast<int>(
                                          GetPrivateProfileIntA("Config", "ResetVolumeVar", 1, ini_.c_str()))));
        }

        volumeVar_ = profileString(ini_, "Config", "VolumeVar", "", kVolumeVarChars);
        if (volumeVar_.empty()) volumeVar_ = "kob_vorlo_volume";
        checkName("Config", "VolumeVar", kVolumeVarChars);
        stopVar_ = profileString(ini_, "Config", "LvarStop", "kob_stop_sounds", kSlotValueChars);
        if (stopVar_.empty()) stopVar_ = "kob_stop_sounds";
        checkName("Config", "LvarStop", kSlotValueChars);

        if (const IniSection* config = text_.section("Config"))
            for (const auto& key : config->keys) {
                if (looksLikeComment(key.name)) continue;
                static constexpr std::string_view known[] = {"MaxSounds", "ErrorFlag", "ResetVolumeVar", "VolumeVar",
                                                             "LvarStop"};
                if (std::none_of(std::begin(known), std::end(known),
                                 [&](std::string_view k) { return equalNoCase(k, key.name); }))
                    report(key.line, key.name + " is not a key the module reads in [Config] (it reads MaxSounds, "
                                                "ErrorFlag, ResetVolumeVar, VolumeVar and LvarStop)");
            }
    }

    // A variable name: cut when too long; a ';' is part of it, not a comment.
    void checkName(const char* section, const std::string& keyName, std::size_t limit) {
        const IniKey* key = text_.key(section, keyName);
        if (!key) return;
        const std::string full = fullValue(ini_, section, keyName);
        if (full.size() > limit)
            report(key->line, keyName + " is " + std::to_string(full.size()) + " characters long: the module keeps " +
                                  std::to_string(limit));
        if (full.find(';') != std::string::npos)
            report(key->line, keyName + "=" + full + ": a ';' inside a value is part of it, not a comment");
    }

    // Keys of the slot sections the module never reads.
    void checkSlotKeys(const char* sectionName, std::string_view prefix) {
        const IniSection* section = text_.section(sectionName);
        if (!section) return;
        for (const auto& key : section->keys) {
            if (looksLikeComment(key.name)) continue;
            const auto index = slotIndexOf(key.name, prefix);
            if (!index) {
                std::string hint;
                if (startsWithNoCase(key.name, prefix)) {
                    const LeadingInteger n = leadingInteger(std::string_view(key.name).substr(prefix.size()));
                    if (n.digits && n.value >= 0 && n.value < kMaxSlots)
                        hint = " (slot keys have two digits: " + std::string(prefix) +
                               twoDigits(static_cast<int>(n.value)) + ")";
                }
                report(key.line, key.name + " is not a key the module reads in [" + std::string(sectionName) +
                                     "]: it reads " + std::string(prefix) + "00 to " + std::string(prefix) + "99" +
                                     hint);
            } else if (*index >= slotCount_) {
                report(key.line, key.name + " is never read: MaxSounds gives " + std::to_string(slotCount_) +
                                     " sound slot" + (slotCount_ == 1 ? "" : "s") +
                                     (slotCount_ > 0 ? " (0 to " + std::to_string(slotCount_ - 1) + ")" : ""));
            }
        }
    }

    void readSlots() {
        for (int i = 0; i < slotCount_; ++i) {
            Slot slot;
            slot.index = i;
            const std::string soundKey = "Sound" + twoDigits(i);
            const std::string lvarKey = "Lvar" + twoDigits(i);
            slot.soundKey = text_.key("Sounds", soundKey);
            slot.lvarKey = text_.key("LVars", lvarKey);

            const std::string sound = profileString(ini_, "Sounds", soundKey, "", kSlotValueChars);
            if (sound.empty()) {
                slot.wav = "./Sound/kob/kob_xml_" + twoDigits(i) + ".wav";
            } else {
                const std::size_t comma = sound.find(',');
                slot.wav = sound.substr(0, comma);
                if (comma != std::string::npos) checkLevel(slot, sound.substr(comma + 1));
            }
            if (slot.soundKey) {
                const std::string full = fullValue(ini_, "Sounds", soundKey);
                if (full.size() > kSlotValueChars)
                    report(slot.soundKey->line, soundKey + " is " + std::to_string(full.size()) +
                                                    " characters long: the module keeps the first 127");
            }

            const std::string lvar = profileString(ini_, "LVars", lvarKey, "", kSlotValueChars);
            slot.variable = lvar.empty() ? "kob_xml_id_" + twoDigits(i) : lvar;
            checkName("LVars", lvarKey, kSlotValueChars);
            slots_.push_back(std::move(slot));
        }
    }

    void checkLevel(const Slot& slot, const std::string& text) {
        const std::size_t line = slot.soundKey ? slot.soundKey->line : 0;
        const std::string key = "Sound" + twoDigits(slot.index);
        const auto level = leadingDecimal(text);
        if (!level)
            report(line, key + ": the level after the comma (\"" + text +
                             "\") is not a number: it counts as 0, so the sound is silent");
        else if (*level < 0.0 || *level > 100.0)
            report(line, key + ": level " + formatNumber(*level) +
                             " is outside 0 to 100: DirectSound refuses that level, so the sound keeps whatever level it had");
    }

    void checkVariables() {
        std::map<std::string, const Slot*> owners;
        for (const auto& slot : slots_) {
            const std::string lower = lowerAscii(slot.variable);
            const auto [first, isNew] = owners.emplace(lower, &slot);
            if (!isNew) {
                const Slot& other = *first->second;
                const std::size_t line = slot.lvarKey ? slot.lvarKey->line : other.lvarKey ? other.lvarKey->line : 0;
                report(line, "slots " + std::to_string(other.index) + " and " + std::to_string(slot.index) +
                                 " share the variable " + slot.variable + (slot.variable == other.variable ? "" :
                                 " (names differ only in case)") + ": one write drives both");
            }
        }
        const std::size_t stopLine = lineOf("Config", "LvarStop");
        const std::size_t volumeLine = lineOf("Config", "VolumeVar");
        if (const auto found = owners.find(lowerAscii(stopVar_)); found != owners.end()) {
            const Slot& slot = *found->second;
            report(stopLine ? stopLine : slot.line(),
                   "the stop variable " + stopVar_ + " is also slot " + std::to_string(slot.index) +
                       "'s variable: playing that sound stops every sound");
        }
        if (const auto found = owners.find(lowerAscii(volumeVar_)); found != owners.end()) {
            const Slot& slot = *found->second;
            report(volumeLine ? volumeLine : slot.line(),
                   "the volume variable " + volumeVar_ + " is also slot " + std::to_string(slot.index) +
                       "'s variable");
        }
        if (lowerAscii(volumeVar_) == lowerAscii(stopVar_))
            report(std::max(stopLine, volumeLine), "the volume variable and the stop variable are both " + stopVar_);
    }

    // The WAV file of every slot the INI names, resolved from the root as the
    // module resolves it from the simulator's folder.
    void checkWaves() {
        const WorkingFolder folder(root_);
        for (const auto& slot : slots_) {
            if (!slot.soundKey && !slot.lvarKey) continue;
            ++result_.wavFilesChecked;
            const WaveCheck check = checkWave(slot.wav);
            if (check.verdict == WaveCheck::Verdict::Plays) continue;
            const std::string key = "Sound" + twoDigits(slot.index);
            std::string what = slot.soundKey ? key + ": " : "slot " + std::to_string(slot.index) + " (no " + key +
                                                                 " key, so the default path): ";
            if (check.verdict == WaveCheck::Verdict::Missing) {
                what += "WAV file not found: " + slot.wav + " (from " + root_.string() + "); its variable gets " +
                        std::to_string(errorFlag_) + " when commanded";
                if (slot.wav.find(';') != std::string::npos) what += " (a ';' inside a value is not a comment)";
            } else {
                what += slot.wav + ": " + check.reason + "; the slot stays silent";
            }
            report(slot.line(), what);
        }
    }

    std::string ini_;
    std::filesystem::path root_;
    IniText text_;
    ConfigCheck result_;
    int slotCount_ = 0;
    int errorFlag_ = 0;
    std::string volumeVar_;
    std::string stopVar_;
    std::vector<Slot> slots_;
};

}  // namespace

std::optional<double> leadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhite(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    auto isDigit = [&](std::size_t at) { return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); };
    while (isDigit(i)) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (isDigit(exponent)) {
            i = exponent;
            while (isDigit(i)) ++i;
        }
    }
    return std::strtod(std::string(text.substr(start, i - start)).c_str(), nullptr);
}

ConfigCheck checkConfiguration(const std::filesystem::path& ini, const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(ini, error))
        throw CheckInputError(ini.string() + ": no such INI file");
    auto text = readIniText(ini);
    if (!text) throw CheckInputError(ini.string() + ": cannot be read");
    if (!std::filesystem::is_directory(root, error))
        throw CheckInputError(root.string() + ": no such root folder");
    Checker checker(ini, std::filesystem::absolute(root), std::move(*text));
    return checker.run();
}

}  // namespace kob::host
