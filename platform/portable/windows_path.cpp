#include "ascii_case.h"
#include "windows_path.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace kob::platform {
namespace {

namespace fs = std::filesystem;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Windows ignores trailing spaces and dots in a name; "." and ".." (even
// with spaces after them) keep their meaning. A name of dots only ("...")
// comes out empty and is skipped like a doubled separator.
std::string_view trimComponent(std::string_view name) {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name == "." || name == "..") return name;
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.remove_suffix(1);
    return name;
}

struct SplitPath {
    bool rooted = false;
    bool trailingSeparator = false;
    std::vector<std::string_view> components;  // no "." left; ".." only at the front of a relative path
};

// The path taken apart and normalised as text, without looking at the disk,
// so "missing\..\x" means "x" as it does on Windows.
SplitPath split(std::string_view path) {
    SplitPath result;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        path.remove_prefix(2);
    result.rooted = !path.empty() && isSeparator(path.front());
    result.trailingSeparator = !path.empty() && isSeparator(path.back());
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        const std::string_view name = trimComponent(path.substr(start, end - start));
        start = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!result.components.empty() && result.components.back() != "..")
                result.components.pop_back();
            else if (!result.rooted)
                result.components.push_back(name);
            continue;  // ".." at the root stays at the root
        }
        result.components.push_back(name);
    }
    return result;
}

// The entry of folder called name: exactly, else without regard to case
// (the first such entry in byte order, so the choice never depends on the
// order the file system lists them in). Nothing when neither exists.
std::optional<std::string> findEntry(const std::string& folder, std::string_view name) {
    std::error_code error;
    const fs::path base = folder.empty() ? fs::path(".") : fs::path(folder);
    if (fs::exists(fs::symlink_status(base / name, error))) return std::string(name);
    std::optional<std::string> best;
    for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (equalNoCase(entry, name) && (!best || entry < *best)) best = std::move(entry);
    }
    return best;
}

}  // namespace

std::string resolveWindowsPath(const char* path) {
    if (!path || *path == '\0') return {};
    const SplitPath parts = split(path);
    std::string result = parts.rooted ? "/" : "";
    bool resolving = true;
    for (const std::string_view name : parts.components) {
        if (!result.empty() && result.back() != '/') result += '/';
        std::optional<std::string> entry;
        if (resolving && name != "..") {
            entry = findEntry(result, name);
            resolving = entry.has_value();
        }
        result += entry ? *entry : std::string(name);
    }
    if (result.empty()) result.push_back('.');
    if (parts.trailingSeparator && result.back() != '/') result += '/';
    return result;
}

}  // namespace kob::platform
