#include "summary.h"

#include <algorithm>

namespace kob::bench {

void printSummary(std::FILE* out, const std::vector<host::SlotSummary>& slots) {
    std::size_t variableWidth = 8;
    std::size_t wavWidth = 3;
    std::vector<const host::SlotSummary*> shown;
    for (const auto& slot : slots) {
        if (!slot.config.named && !slot.buffer) continue;
        shown.push_back(&slot);
        variableWidth = std::max(variableWidth, slot.config.variable.size());
        wavWidth = std::max(wavWidth, slot.config.wav.size());
    }
    const int vw = static_cast<int>(variableWidth);
    const int ww = static_cast<int>(wavWidth);
    std::fprintf(out, "slot  %-*s  %-*s  buffer  started  looped  ended  stopped\n", vw, "variable", ww, "wav");
    for (const auto* slot : shown) {
        std::fprintf(out, "%4d  %-*s  %-*s  %-6s  %7u  %6u  %5u  %7u\n", slot->config.index, vw,
                     slot->config.variable.c_str(), ww, slot->config.wav.c_str(), slot->buffer ? "yes" : "no",
                     slot->started, slot->looped, slot->ended, slot->stopped);
    }
    if (shown.empty()) std::fprintf(out, "(no slot named in the INI file, none loaded)\n");
}

}  // namespace kob::bench
