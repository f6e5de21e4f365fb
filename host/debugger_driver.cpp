#include "debugger_driver.h"

#include <cstring>
#include <stdexcept>

namespace kob::host {
namespace {

TextElement* nextText(void** list) {
    if (!list || !list[0]) throw std::runtime_error("the debugger gauge's element chain is shorter than three text lines");
    auto* element = static_cast<TextElement*>(list[0]);
    if (element->kind != 2 || !element->callback)
        throw std::runtime_error("the debugger gauge's element chain holds something other than a text line");
    return element;
}

}  // namespace

DebuggerGaugeDriver::DebuggerGaugeDriver(GaugeHeader& header) {
    if (!header.elementList || !header.elementList[0]) throw std::runtime_error("the debugger gauge has no elements");
    const auto* root = static_cast<const ImageElement*>(header.elementList[0]);
    lines_[0] = nextText(root->nextElements);
    lines_[1] = nextText(lines_[0]->nextElements);
    lines_[2] = nextText(lines_[1]->nextElements);
    for (std::size_t i = 0; i < lines_.size(); ++i) lines_[i]->textBuffer = buffers_[i].data();

    // The two clickable areas: the left one steps back, the right one on.
    const MouseArea* left = nullptr;
    const MouseArea* right = nullptr;
    for (const MouseArea* area = header.mouseAreas; area && area->kind != 0; ++area) {
        if (area->kind != 2 || !area->target.handler) continue;
        if (!left || area->x < left->x) {
            right = left;
            left = area;
        } else if (!right || area->x < right->x) {
            right = area;
        }
    }
    if (!left || !right) throw std::runtime_error("the debugger gauge lacks its two mouse areas");
    previous_ = left->target.handler;
    next_ = right->target.handler;
}

void DebuggerGaugeDriver::redraw() {
    for (TextElement* line : lines_) line->callback(line);
}

std::string DebuggerGaugeDriver::text(Line line) const {
    const auto& buffer = buffers_[static_cast<std::size_t>(line)];
    const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
    return std::string(buffer.data(), nul ? static_cast<const char*>(nul) : buffer.data() + buffer.size());
}

void DebuggerGaugeDriver::clickPrevious() { previous_(0, 0); }
void DebuggerGaugeDriver::clickNext() { next_(0, 0); }

}  // namespace kob::host
