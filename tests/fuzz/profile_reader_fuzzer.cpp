// The portable profile reader on arbitrary INI text: sections and keys taken
// from the input itself (and the module's own), read with several buffer
// sizes as text and as integers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_files.h"
#include "kob_platform/win32.h"

namespace {

// Names in the text: what stands between [ and ] and before each '=', a few
// of each, since every read parses the whole file again.
void collectNames(const std::string& text, std::vector<std::string>& sections, std::vector<std::string>& keys) {
    std::size_t start = 0;
    const std::size_t most = sections.size() + 6;
    const std::size_t mostKeys = keys.size() + 8;
    while (start <= text.size() && (sections.size() < most || keys.size() < mostKeys)) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        if (const auto open = line.find('['); open != std::string::npos && sections.size() < most) {
            const auto close = line.find(']', open);
            sections.push_back(line.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
        }
        if (const auto equals = line.find('='); equals != std::string::npos && keys.size() < mostKeys)
            keys.push_back(line.substr(0, equals));
        start = end + 1;
    }
}

void checkText(const char* buffer, DWORD size, DWORD copied) {
    // Never more than size - 1 characters, terminated just after them. (A NUL
    // byte inside a value is copied like any other character.)
    if (size == 0) return;
    if (copied >= size) __builtin_trap();
    if (buffer[copied] != '\0') __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = kob::fuzz::writeScratchFile("input.ini", data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> sections{"Config", "Sounds", "LVars", ""};
    std::vector<std::string> keys{"MaxSounds", "ErrorFlag", "VolumeVar", "Sound00", "Lvar07", ""};
    collectNames(text, sections, keys);

    static const DWORD sizes[] = {1, 2, 5, 130};
    std::vector<char> buffer;
    // Each pair read once as text, with the buffer sizes taking turns, and as
    // an integer: every read parses the whole file again.
    std::size_t turn = 0;
    for (const auto& section : sections) {
        for (const auto& key : keys) {
            {
                const DWORD n = sizes[turn++ % std::size(sizes)];
                buffer.assign(n + 16, '\x7f');  // room to see writes past the end
                const DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), "default", buffer.data(), n,
                                                              path.c_str());
                checkText(buffer.data(), n, copied);
                for (std::size_t i = n; i < buffer.size(); ++i)
                    if (buffer[i] != '\x7f') __builtin_trap();
            }
            (void)GetPrivateProfileIntA(section.c_str(), key.c_str(), -7, path.c_str());
        }
    }
    return 0;
}
