// The bench's scenario parser on arbitrary text: it either gives a scenario
// or throws ScenarioError with a "file:line: what is wrong" message, nothing
// else, and never reads out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const kob::host::Scenario scenario = kob::host::parseScenario(text, "fuzz.scn");
        (void)scenario;
    } catch (const kob::host::ScenarioError& error) {
        // Every refusal names the file and a line.
        if (std::string_view(error.what()).substr(0, 9) != "fuzz.scn:") std::abort();
    }
    return 0;
}
