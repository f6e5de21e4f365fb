// Where things are in an INI file: its sections and keys with their line
// numbers, read by the same line rules as the portable profile functions
// (white space trimmed, ';' lines are comments, '[' starts a section up to
// its first ']', a key is the text before the first '=', names compared
// without regard to ASCII case). The values the module gets come from the
// profile functions themselves; this is only for pointing at lines.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kob::host {

struct IniKey {
    std::string name;   // as written, trimmed
    std::string value;  // trimmed, quotes not removed
    std::size_t line = 0;
};

struct IniSection {
    std::string name;  // as written, trimmed
    std::size_t line = 0;
    std::vector<IniKey> keys;
};

struct IniText {
    std::vector<IniSection> sections;  // in file order, repeats included

    // The first section of that name: the only one the profile functions read.
    const IniSection* section(std::string_view name) const;
    // The first key of that name in the first section of that name.
    const IniKey* key(std::string_view section, std::string_view key) const;
};

IniText parseIniText(std::string_view text);
// Nothing when the file cannot be read.
std::optional<IniText> readIniText(const std::filesystem::path& file);

bool equalNoCase(std::string_view a, std::string_view b);

}  // namespace kob::host
