// Profile (INI) reading with the Windows conventions designers' files rely on.
//
// Rules, checked against a Win32 implementation under Wine
// (docs/platform/profile-and-paths.md, docs/wine.md):
// - the file name is a Windows path (see windows_path.h); a UTF-8 byte order
//   mark at the start of the file is skipped;
// - lines end in LF or CRLF; the last line needs no line end;
// - white space (space, tab, CR, VT, FF) around section names, keys and
//   values is dropped;
// - ';' marks nothing: "; note = x" is the key "; note";
// - a line starting with '[' and holding a ']' starts a section, named by the
//   text up to the last ']'; "[Name" without one is an ordinary line;
// - a line with '=' is a key: the name before the first '=', the value after
//   it; lines without '=' are ignored; keys before any section belong to the
//   section "";
// - section and key names match without regard to (ASCII) case;
// - when a section or a key appears more than once, the first one counts;
// - a value enclosed in a matching pair of double or single quotes loses them.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
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

// A value as the file holds it, and whether a pair of quotes was taken off.
struct Value {
    std::string text;
    bool quoted = false;
};

Value unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return {std::string(value.substr(1, value.size() - 2)), true};
    return {std::string(value), false};
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

// The name a section line gives: the text between '[' and the last ']'. A
// line without ']' is no section line.
std::optional<std::string_view> sectionName(std::string_view line) {
    const std::size_t close = line.rfind(']');
    if (line.front() != '[' || close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

// The value of [section] key in the file, or nothing when any of them is missing.
// Lines before the first section form the section named "".
std::optional<Value> lookup(const char* section, const char* key, const char* fileName) {
    if (!section || !key || !fileName) return std::nullopt;
    const std::string_view wantedSection = trim(section);
    const std::string_view wantedKey = trim(key);
    const auto text = readFile(fileName);
    if (!text) return std::nullopt;
    bool inWantedSection = wantedSection.empty();
    for (std::string_view rest = *text; !rest.empty();) {
        const std::string_view line = trim(takeLine(rest));
        if (line.empty()) continue;
        if (const auto name = sectionName(line)) {
            if (inWantedSection) return std::nullopt;  // later sections of the same name are not read
            // "[]" starts a section that no name reaches, not the one of "".
            inWantedSection = !name->empty() && equalNoCase(*name, wantedSection);
            continue;
        }
        if (!inWantedSection) continue;
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && equalNoCase(trim(line.substr(0, equals)), wantedKey))
            return unquote(trim(line.substr(equals + 1)));
    }
    return std::nullopt;
}

// Windows documents that it drops trailing blanks from the default.
std::string_view defaultText(const char* defaultValue) {
    std::string_view text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

int digitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// Leading white space, an optional sign, then decimal digits or "0x" and
// hexadecimal digits, read up to the first other character. No digits give 0;
// larger values wrap around in 32 bits.
UINT leadingInteger(std::string_view text) {
    while (!text.empty() && isWhite(text.front())) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.starts_with("0x")) {  // only a lower-case x
        base = 16;
        text.remove_prefix(2);
    }
    std::uint32_t value = 0;
    for (int digit; !text.empty() && (digit = digitValue(text.front(), base)) >= 0; text.remove_prefix(1))
        value = value * base + static_cast<std::uint32_t>(digit);
    return negative ? 0u - value : value;
}

// How many characters of a value fit a buffer of `size`. A quoted value that
// would fill it exactly loses its last character as well, as Windows does.
std::size_t copiedLength(const Value& value, DWORD size) {
    const std::size_t room = size - 1;
    if (value.text.size() < room) return value.text.size();
    if (value.text.size() == room && value.quoted && room > 0) return room - 1;
    return room;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
    if (!buffer || size == 0) return 0;
    const auto found = lookup(section, key, fileName);
    const Value value = found ? *found : Value{std::string(defaultText(defaultValue)), false};
    const std::size_t count = copiedLength(value, size);
    std::memcpy(buffer, value.text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
    const auto found = lookup(section, key, fileName);
    // A key with nothing after '=' (or only "") counts as missing.
    if (!found || found->text.empty()) return static_cast<UINT>(defaultValue);
    return leadingInteger(found->text);
}
