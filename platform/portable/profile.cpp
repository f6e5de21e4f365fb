// Profile (INI) reading with the Windows conventions designers' files rely on.
//
// Rules, kept as simple as the conventions allow:
// - lines end in LF or CRLF; the last line needs no line end;
// - blank space (spaces, tabs) around section names, keys and values is dropped;
// - a line whose first non-blank character is ';' is a comment;
// - "[name]" starts a section; a line without '=' is not a key;
// - section and key names match without regard to case;
// - when a section or a key appears more than once, the first one counts;
// - a value enclosed in a matching pair of double or single quotes loses them.
#include <cctype>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "kob_platform/portable/profile.h"
#include "windows_path.h"

namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<std::string> readFile(const char* fileName) {
    if (!fileName) return std::nullopt;
    std::ifstream in(kob::platform::resolveWindowsPath(fileName), std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The value of [section] key in the file, or nothing when any of them is missing.
std::optional<std::string> lookup(const char* section, const char* key, const char* fileName) {
    if (!section || !key) return std::nullopt;
    const auto text = readFile(fileName);
    if (!text) return std::nullopt;
    bool inSection = false;
    bool sectionSeen = false;
    std::string_view rest = *text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        line = trim(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            const std::string_view name = trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            if (inSection) return std::nullopt;  // only the first section of that name counts
            inSection = !sectionSeen && equalNoCase(name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (equalNoCase(trim(line.substr(0, equals)), trim(std::string_view(key))))
            return std::string(unquote(trim(line.substr(equals + 1))));
    }
    return std::nullopt;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
    if (!buffer || size == 0) return 0;
    const auto found = lookup(section, key, fileName);
    const std::string value = found ? *found : std::string(defaultValue ? defaultValue : "");
    const std::size_t count = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    const auto found = lookup(section, key, fileName);
    if (!found) return static_cast<UINT>(defaultValue);
    const char* p = found->c_str();
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::uint32_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) value = value * 10u + static_cast<std::uint32_t>(*p - '0');
    return negative ? 0u - value : value;
}
