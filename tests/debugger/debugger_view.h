// The debugger gauge as the host finds it: through its header's element chain
// and mouse list, calling what the records point to.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "module/records.h"

namespace kob::test {

struct DebuggerView {
    explicit DebuggerView(const GaugeHeader& header)
        : root(*static_cast<ImageElement*>(header.elementList[0])),
          numberLine(*static_cast<TextElement*>(root.nextElements[0])),
          variableLine(*static_cast<TextElement*>(numberLine.nextElements[0])),
          fileLine(*static_cast<TextElement*>(variableLine.nextElements[0])),
          mouseAreas(header.mouseAreas) {}

    // The two clickable areas: record 5 on the left half, record 6 on the right.
    std::int32_t clickLeft() const { return mouseAreas[4].target.handler(0, 0); }
    std::int32_t clickRight() const { return mouseAreas[5].target.handler(0, 0); }

    static double show(TextElement& line) { return line.callback(&line); }

    ImageElement& root;
    TextElement& numberLine;
    TextElement& variableLine;
    TextElement& fileLine;
    MouseArea* mouseAreas;
};

// A text buffer as the host lends it to a text element: capacity bytes, then
// guard bytes that no write may reach.
class HostTextBuffer {
public:
    static constexpr std::size_t guardSize = 64;
    static constexpr char guardByte = 0x5A;

    explicit HostTextBuffer(std::size_t capacity, const std::string& initial = "")
        : capacity_(capacity) {
        storage_.assign(capacity_, '#');
        storage_.insert(storage_.end(), guardSize, guardByte);
        std::copy_n(initial.c_str(), std::min(initial.size() + 1, capacity_), storage_.begin());
    }

    void lendTo(TextElement& element) { element.textBuffer = storage_.data(); }

    // The text up to its NUL, or nothing when no NUL lies within the capacity.
    std::optional<std::string> text() const {
        const void* end = std::memchr(storage_.data(), '\0', capacity_);
        if (!end) return std::nullopt;
        return std::string(storage_.data(), static_cast<const char*>(end));
    }

    bool guardIntact() const {
        for (std::size_t i = capacity_; i < storage_.size(); ++i)
            if (storage_[i] != guardByte) return false;
        return true;
    }

private:
    std::size_t capacity_;
    std::vector<char> storage_;
};

}  // namespace kob::test
