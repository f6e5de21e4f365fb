// The per-update cycle that turns each slot's variable into sound actions.
#pragma once

#include <cstdint>
#include <optional>

namespace kob {

enum SlotCommand : std::int32_t {
    StopSound = 0,
    PlayOnce = 1,
    PlayLoop = 2,
    ApplyVolume = 3,
    ReportVolume = 4,
};

struct DecodedControl {
    std::int32_t command;
    std::int32_t pan;
};

// A variable's value truncated toward zero to a signed 32-bit control value;
// nothing for a value that does not fit or is not a number.
std::optional<std::int32_t> toControlValue(double value);

// value = ±(100 × |pan| + command), the sign being the pan's.
DecodedControl decodeControlValue(std::int32_t controlValue);

// An attenuation in hundredths of a decibel on the variables' 0 to 100 scale.
std::int32_t reportedLevelOf(std::int32_t attenuation);

// A level truncated toward zero to 32 bits, held within range instead of
// overflowing for levels no buffer accepts anyway.
std::int32_t truncateLevel(double level);

void runSlotCommandCycle();

}  // namespace kob
