#include "ini_text.h"

#include <fstream>
#include <iterator>

namespace kob::host {
namespace {

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isWhite(text.front())) text.remove_prefix(1);
    while (!text.empty() && isWhite(text.back())) text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

const IniSection* IniText::section(std::string_view name) const {
    for (const auto& s : sections)
        if (equalNoCase(s.name, trim(name))) return &s;
    return nullptr;
}

const IniKey* IniText::key(std::string_view sectionName, std::string_view keyName) const {
    const IniSection* s = section(sectionName);
    if (!s) return nullptr;
    for (const auto& k : s->keys)
        if (equalNoCase(k.name, trim(keyName))) return &k;
    return nullptr;
}

// The lines as the profile functions read them (docs/platform/profile-and-paths.md):
// ';' marks nothing, a section line needs a ']' and is named up to the last
// one, keys before any section belong to the section "".
IniText parseIniText(std::string_view text) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(byteOrderMark)) text.remove_prefix(byteOrderMark.size());
    IniText ini;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.empty()) continue;
        if (const std::size_t close = line.rfind(']'); line.front() == '[' && close != std::string_view::npos) {
            ini.sections.push_back({std::string(trim(line.substr(1, close - 1))), number, {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (ini.sections.empty()) ini.sections.push_back({"", 0, {}});
        const std::string_view name = trim(line.substr(0, equals));
        ini.sections.back().keys.push_back({std::string(name), std::string(trim(line.substr(equals + 1))), number});
    }
    return ini;
}

std::optional<IniText> readIniText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return parseIniText(bytes);
}

}  // namespace kob::host
