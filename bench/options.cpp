#include "options.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "scenario.h"

namespace kob::bench {

std::string usageText() {
    return std::string(
               "usage: kob-bench run SCENARIO [--render OUT.wav] [--trace OUT.csv] [--timeline OUT.png|OUT.svg]\n"
               "                              [--fps N] [--quiet] [--module PATH] [--root DIR]\n"
               "       kob-bench check INI [--root DIR]\n"
               "\n"
               "Loads the sound gauge module as the simulator does, runs the scenario's updates\n"
               "(18 per second unless --fps says otherwise) and checks its expectations.\n"
               "  --render OUT.wav  write the mix of every frame (16-bit stereo WAV)\n"
               "  --trace OUT.csv   one row per update: the named variables that changed\n"
               "  --timeline OUT.png|OUT.svg  a picture of the run: per slot playing once, looping,\n"
               "                    muted and the writes to its variable; the mix's level below\n"
               "  --fps N           panel updates per second (1 to 1000)\n"
               "  --quiet           no progress display and no summary\n"
               "  --module PATH     the module to load (default: the one built beside kob-bench)\n"
               "  --root DIR        where relative WAV paths resolve (overrides the scenario's root;\n"
               "                    for check: the simulator's folder, default the current folder)\n"
               "\n"
               "check reports, as FILE:LINE: WHAT, everything in the INI file and its WAV files\n"
               "that the module would silently get wrong.\n"
               "\n"
               "Scenario lines (T: seconds from the first update; # starts a comment):\n"
               "  config PATH | root DIR | end T\n"
               "  T set NAME VALUE | T expect NAME VALUE | T expect audio sound|silence\n"
               "  T sim sound N | T sim pause | T sim resume | T sim timeofday N | T sim global absent|present\n"
               "  T click previous|next | T expect-text file|variable|number TEXT\n"
               "  T fault NAME [ARGS], NAME being one of:\n    ") +
           std::string(host::faultUsage()) +
           "\n\nExit status: 0 every expectation held (check: no findings), 1 some failed (findings),\n"
           "2 bad input.\n";
}

Options parseOptions(std::span<char* const> arguments) {
    Options options;
    if (arguments.empty()) throw UsageError("no command (try --help)");
    const std::string_view command = arguments[0];
    if (command == "--help" || command == "-h" || command == "help") {
        options.help = true;
        return options;
    }
    if (command == "check") options.command = Options::Command::Check;
    else if (command != "run") throw UsageError("unknown command `" + std::string(command) + "` (try --help)");
    const bool check = options.command == Options::Command::Check;

    bool haveScenario = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= arguments.size()) throw UsageError(std::string(arg) + " needs a value");
            return arguments[++i];
        };
        if (arg == "--root") options.root = value();
        else if (arg == "--help" || arg == "-h") options.help = true;
        else if (check && arg.starts_with("-")) throw UsageError("check takes only --root, not `" + std::string(arg) + "`");
        else if (arg == "--render") options.render = value();
        else if (arg == "--trace") options.trace = value();
        else if (arg == "--timeline") {
            options.timeline = value();
            const auto extension = options.timeline->extension();
            if (extension != ".png" && extension != ".svg")
                throw UsageError("--timeline wants a file ending in .png or .svg, not `" +
                                 options.timeline->string() + "`");
        } else if (arg == "--module") options.module = value();
        else if (arg == "--quiet") options.quiet = true;
        else if (arg == "--fps") {
            const std::string text = value();
            double fps = 0.0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), fps);
            if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(fps) || fps < 1.0 ||
                fps > 1000.0)
                throw UsageError("--fps wants a number from 1 to 1000, not `" + text + "`");
            options.framesPerSecond = fps;
        } else if (arg.starts_with("-")) {
            throw UsageError("unknown option `" + std::string(arg) + "` (try --help)");
        } else if (!haveScenario) {
            (check ? options.ini : options.scenario) = std::string(arg);
            haveScenario = true;
        } else {
            throw UsageError(std::string(check ? "one INI file" : "one scenario") + " only; `" + std::string(arg) +
                             "` is one too many");
        }
    }
    if (!haveScenario && !options.help)
        throw UsageError(check ? "check needs an INI file" : "run needs a scenario file");
    return options;
}

}  // namespace kob::bench
