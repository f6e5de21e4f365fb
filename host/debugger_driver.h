// The "debugger" gauge as the simulator drives a visible gauge: it finds the
// three text lines through the header's element chain, lends each a text
// buffer of its own, calls their text callbacks on every redraw, and calls
// the mouse handlers of the two clickable areas when the user clicks.
#pragma once

#include <array>
#include <string>

#include "module/records.h"

namespace kob::host {

class DebuggerGaugeDriver {
public:
    enum class Line { Number, Variable, File };

    // Throws std::runtime_error when the records do not have the expected shape.
    explicit DebuggerGaugeDriver(GaugeHeader& header);

    // Calls the three text callbacks, number line first, as a redraw does.
    void redraw();
    // The text a line's buffer holds now.
    std::string text(Line line) const;

    void clickPrevious();
    void clickNext();

private:
    static constexpr std::size_t bufferSize = 256;  // beyond every line's text length
    std::array<TextElement*, 3> lines_{};
    std::array<std::array<char, bufferSize>, 3> buffers_{};
    MouseHandler previous_ = nullptr;
    MouseHandler next_ = nullptr;
};

}  // namespace kob::host
