// Writing probe results as plain text that compares byte for byte between a
// Windows build and a native build of the same probe.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kob::probe {

// Printable ASCII as it is, everything else (and the backslash) as \xHH.
inline std::string escaped(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// The file is opened in binary mode, so line ends are the same on both builds.
class Output {
public:
    explicit Output(const char* path) : file_(std::fopen(path, "wb")) {}
    ~Output() {
        if (file_) std::fclose(file_);
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void line(const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), file_);
        std::fputc('\n', file_);
    }

private:
    std::FILE* file_;
};

}  // namespace kob::probe
