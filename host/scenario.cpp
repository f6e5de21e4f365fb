#include "scenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace kob::host {
namespace {

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

class LineParser {
public:
    LineParser(SourceLine where, std::string_view text) : where_(std::move(where)), text_(text), words_(splitWords(text)) {}

    [[noreturn]] void fail(const std::string& what) const { throw ScenarioError(where_.describe() + ": " + what); }

    std::size_t size() const { return words_.size(); }
    std::string_view word(std::size_t i) const { return words_.at(i); }

    void expectWords(std::size_t count, std::string_view usage) const {
        if (words_.size() != count) fail("expected `" + std::string(usage) + "`");
    }

    double number(std::size_t i, std::string_view what) const {
        const std::string_view w = word(i);
        double value = 0.0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            fail(std::string(what) + " is not a number: " + std::string(w));
        return value;
    }

    double time(std::size_t i) const {
        const double t = number(i, "the time");
        if (!std::isfinite(t) || t < 0.0) fail("the time must be a number of seconds, 0 or more: " + std::string(word(i)));
        return t;
    }

    long long integer(std::size_t i, std::string_view what, long long low, long long high) const {
        const std::string_view w = word(i);
        long long value = 0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (ec != std::errc() || end != w.data() + w.size())
            fail(std::string(what) + " is not a whole number: " + std::string(w));
        if (value < low || value > high)
            fail(std::string(what) + " must be " + std::to_string(low) + " to " + std::to_string(high) + ": " +
                 std::string(w));
        return value;
    }

    std::uint32_t count(std::size_t i) const {
        if (word(i) == "forever") return event::kForeverCount;
        return static_cast<std::uint32_t>(integer(i, "the count", 1, 1000000));
    }

    int slot(std::size_t i) const { return static_cast<int>(integer(i, "the slot", 0, 99)); }

    // The text after the first `skip` words, inner spaces kept.
    std::string restAfter(std::size_t skip) const {
        std::string_view rest = text_;
        for (std::size_t n = 0; n < skip; ++n) {
            rest = trim(rest);
            const std::size_t space = rest.find_first_of(" \t");
            rest = space == std::string_view::npos ? std::string_view{} : rest.substr(space);
        }
        return std::string(trim(rest));
    }

    const SourceLine& where() const { return where_; }

private:
    SourceLine where_;
    std::string_view text_;
    std::vector<std::string_view> words_;
};

event::Fault parseFault(const LineParser& p) {
    // words: T fault NAME [ARGS]
    if (p.size() < 3) p.fail("expected `T fault NAME [ARGS]`; faults: " + std::string(faultUsage()));
    const std::string_view name = p.word(2);
    const std::size_t args = p.size() - 3;
    using Kind = event::Fault::Kind;
    event::Fault f{};
    auto countAndSlot = [&](Kind kind, std::string_view usage) {
        if (args < 1 || args > 2) p.fail("expected `T fault " + std::string(usage) + "`");
        f.kind = kind;
        f.count = p.count(3);
        if (args == 2) f.slot = p.slot(4);
    };
    if (name == "lose") {
        if (args < 1 || args > 2) p.fail("expected `T fault lose SLOT|all [RESTORES]`");
        f.kind = Kind::Lose;
        if (p.word(3) != "all") f.slot = p.slot(3);
        f.count = args == 2 ? (p.word(4) == "forever" ? event::kForeverCount
                                                      : static_cast<std::uint32_t>(p.integer(4, "the failing restores", 0, 1000000)))
                            : 0;
    } else if (name == "create-buffer") {
        if (args != 1) p.fail("expected `T fault create-buffer N`");
        f.kind = Kind::CreateBuffer;
        f.count = p.count(3);
    } else if (name == "play") {
        countAndSlot(Kind::Play, "play N [SLOT]");
    } else if (name == "lock") {
        countAndSlot(Kind::Lock, "lock N [SLOT]");
    } else if (name == "getstatus") {
        countAndSlot(Kind::GetStatus, "getstatus N [SLOT]");
    } else if (name == "restore") {
        countAndSlot(Kind::Restore, "restore N [SLOT]");
    } else if (name == "device" || name == "cooperative") {
        if (args > 1) p.fail("expected `T fault " + std::string(name) + " [N]`");
        f.kind = name == "device" ? Kind::Device : Kind::Cooperative;
        f.count = args == 1 ? p.count(3) : 1;
    } else if (name == "clear") {
        if (args != 0) p.fail("expected `T fault clear`");
        f.kind = Kind::Clear;
    } else {
        p.fail("unknown fault `" + std::string(name) + "`; faults: " + std::string(faultUsage()));
    }
    return f;
}

EventAction parseSim(const LineParser& p) {
    if (p.size() < 3) p.fail("expected `T sim sound N | pause | resume | timeofday N | global absent|present`");
    const std::string_view what = p.word(2);
    if (what == "pause" || what == "resume") {
        p.expectWords(3, "T sim " + std::string(what));
        return event::SimPause{what == "pause"};
    }
    if (what == "sound") {
        p.expectWords(4, "T sim sound N");
        return event::SimSound{static_cast<std::int32_t>(p.integer(3, "the sound state", INT32_MIN, INT32_MAX))};
    }
    if (what == "timeofday") {
        p.expectWords(4, "T sim timeofday N");
        return event::SimTimeOfDay{static_cast<std::uint8_t>(p.integer(3, "the time of day", 0, 255))};
    }
    if (what == "global") {
        p.expectWords(4, "T sim global absent|present");
        if (p.word(3) == "absent") return event::SimGlobal{false};
        if (p.word(3) == "present") return event::SimGlobal{true};
        p.fail("expected `absent` or `present`, not `" + std::string(p.word(3)) + "`");
    }
    p.fail("unknown simulator event `" + std::string(what) + "` (sound, pause, resume, timeofday, global)");
}

EventAction parseTimed(const LineParser& p) {
    const std::string_view verb = p.word(1);
    if (verb == "set" || verb == "expect") {
        if (verb == "expect" && p.size() >= 3 && p.word(2) == "audio") {
            p.expectWords(4, "T expect audio sound|silence");
            if (p.word(3) == "sound") return event::ExpectAudio{true};
            if (p.word(3) == "silence") return event::ExpectAudio{false};
            p.fail("expected `sound` or `silence`, not `" + std::string(p.word(3)) + "`");
        }
        p.expectWords(4, "T " + std::string(verb) + " NAME VALUE");
        const double value = p.number(3, "the value");
        if (verb == "set") return event::Set{std::string(p.word(2)), value};
        return event::Expect{std::string(p.word(2)), value};
    }
    if (verb == "sim") return parseSim(p);
    if (verb == "click") {
        p.expectWords(3, "T click previous|next");
        if (p.word(2) == "previous") return event::Click{event::Click::Area::Previous};
        if (p.word(2) == "next") return event::Click{event::Click::Area::Next};
        p.fail("expected `previous` or `next`, not `" + std::string(p.word(2)) + "`");
    }
    if (verb == "expect-text") {
        if (p.size() < 3) p.fail("expected `T expect-text file|variable|number TEXT`");
        using Line = event::ExpectText::Line;
        Line line{};
        if (p.word(2) == "file") line = Line::File;
        else if (p.word(2) == "variable") line = Line::Variable;
        else if (p.word(2) == "number") line = Line::Number;
        else p.fail("expected `file`, `variable` or `number`, not `" + std::string(p.word(2)) + "`");
        return event::ExpectText{line, p.restAfter(3)};
    }
    if (verb == "fault") return parseFault(p);
    p.fail("unknown event `" + std::string(verb) + "` (set, expect, sim, click, expect-text, fault)");
}

}  // namespace

std::string_view faultUsage() {
    return "lose SLOT|all [RESTORES], create-buffer N, play N [SLOT], lock N [SLOT], getstatus N [SLOT], "
           "restore N [SLOT], device [N], cooperative [N], clear (N: a count or `forever`)";
}

Scenario parseScenario(std::string_view text, const std::filesystem::path& file) {
    Scenario scenario;
    scenario.file = file;
    const auto folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    scenario.root = folder;
    std::optional<double> end;
    bool haveRoot = false;

    std::istringstream in{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        std::string_view line = raw;
        if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        line = trim(line);
        if (line.empty()) continue;
        const LineParser p(SourceLine{file.string(), number}, line);
        const std::string_view first = p.word(0);
        if (first == "config") {
            if (p.size() < 2) p.fail("expected `config PATH`");
            if (!scenario.config.empty()) p.fail("a second config line");
            scenario.config = folder / p.restAfter(1);
            scenario.configLine = p.where();
        } else if (first == "root") {
            if (p.size() < 2) p.fail("expected `root DIR`");
            if (haveRoot) p.fail("a second root line");
            scenario.root = folder / p.restAfter(1);
            haveRoot = true;
        } else if (first == "end") {
            p.expectWords(2, "end T");
            if (end) p.fail("a second end line");
            end = p.time(1);
        } else {
            if (p.size() < 2) p.fail("expected `T EVENT ...`, `config PATH`, `root DIR` or `end T`");
            const double t = p.time(0);
            scenario.events.push_back({t, p.where(), parseTimed(p)});
        }
    }
    if (scenario.config.empty()) throw ScenarioError(file.string() + ": no `config PATH` line");

    double last = 0.0;
    for (const auto& e : scenario.events) last = std::max(last, e.time);
    if (end) {
        for (const auto& e : scenario.events)
            if (e.time > *end)
                throw ScenarioError(e.where.describe() + ": after the end (" + std::to_string(*end) + " s)");
        scenario.end = *end;
    } else {
        scenario.end = last;
    }
    std::stable_sort(scenario.events.begin(), scenario.events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.time < b.time; });
    return scenario;
}

Scenario readScenario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in || std::filesystem::is_directory(file)) throw ScenarioError(file.string() + ": cannot read the scenario");
    std::ostringstream text;
    text << in.rdbuf();
    return parseScenario(text.str(), file);
}

}  // namespace kob::host
