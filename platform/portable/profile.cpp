// Profile (INI) reading with the Windows conventions designers' files rely on.
//
// Rules, kept as simple as the conventions allow (docs/platform/profile-and-paths.md
// lists them with the places where Windows may differ):
// - the file name is a Windows path (see windows_path.h); a UTF-8 byte order
//   mark at the start of the file is skipped;
// - lines end in LF or CRLF; the last line needs no line end;
// - white space (space, tab, CR, VT, FF) around section names, keys and
//   values is dropped;
// - a line whose first non-blank character is ';' is a comment; a ';' later
//   in a line is part of the value;
// - a line starting with '[' starts a section, named by what follows up to
//   the first ']' or, without one, up to the line end; text after ']' is ignored;
// - a line with '=' is a key: the name before the first '=', the value after
//   it; a line without '=' and a key before any section are ignored;
// - section and key names match without regard to (ASCII) case;
// - when a section or a key appears more than once, the first one counts;
// - a value enclosed in a matching pair of double or single quotes loses them.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "kob_platform/portable/profile.h"
#include "ascii_case.h"
#include "windows_path.h"

namespace {

using kob::platform::equalNoCase;

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isWhite(text.front())) text.remove_prefix(1);
    while (!text.empty() && isWhite(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::optional<std::string> readFile(const char* fileName) {
    std::ifstream in(kob::platform::resolveWindowsPath(fileName), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (std::string_view(bytes).starts_with(byteOrderMark)) bytes.erase(0, byteOrderMark.size());
    return bytes;
}

std::string_view takeLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return line;
}

// The name of a section line: after '[', up to the first ']' or the line end.
std::string_view sectionName(std::string_view line) {
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

// The value of [section] key in the file, or nothing when any of them is missing.
std::optional<std::string> lookup(const char* section, const char* key, const char* fileName) {
    if (!section || !key || !fileName) return std::nullopt;
    const std::string_view wantedSection = trim(section);
    const std::string_view wantedKey = trim(key);
    if (wantedKey.empty()) return std::nullopt;
    const auto text = readFile(fileName);
    if (!text) return std::nullopt;
    bool inWantedSection = false;
    for (std::string_view rest = *text; !rest.empty();) {
        const std::string_view line = trim(takeLine(rest));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (inWantedSection) return std::nullopt;  // later sections of the same name are not read
            inWantedSection = equalNoCase(sectionName(line), wantedSection);
            continue;
        }
        if (!inWantedSection) continue;
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && equalNoCase(trim(line.substr(0, equals)), wantedKey))
            return std::string(unquote(trim(line.substr(equals + 1))));
    }
    return std::nullopt;
}

// Windows documents that it drops trailing blanks from the default.
std::string_view defaultText(const char* defaultValue) {
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Leading white space, an optional sign and decimal digits; no digits give 0,
// values beyond 32 bits are held at the nearest limit.
INT leadingInteger(std::string_view text) {
    while (!text.empty() && isWhite(text.front())) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<INT>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; !text.empty() && text.front() >= '0' && text.front() <= '9'; text.remove_prefix(1))
        if (magnitude < limit) magnitude = magnitude * 10 + (text.front() - '0');
    if (magnitude > limit) magnitude = limit;
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<INT>(value > std::numeric_limits<INT>::max() ? std::numeric_limits<INT>::max() : value);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
    if (!buffer || size == 0) return 0;
    const auto found = lookup(section, key, fileName);
    const std::string_view value = found ? std::string_view(*found) : defaultText(defaultValue);
    const std::size_t count = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    const auto found = lookup(section, key, fileName);
    // A key with nothing after '=' counts as missing here.
    if (!found || trim(*found).empty()) return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(leadingInteger(*found));
}
