// The simulator around the panel, as far as the module sees it: the memory
// behind "GLOBAL.DLL"'s "Linkage" export, holding the sound state (32 bits at
// +2848) and the time of day (the byte at +4446), and whether that module can
// be found at all.
#pragma once

#include <array>
#include <cstdint>

namespace kob::host {

class SimulatorStandIn {
public:
    static constexpr std::size_t soundStateOffset = 2848;
    static constexpr std::size_t timeOfDayOffset = 4446;

    // Present, sound on, time of day 0; the main window registered.
    SimulatorStandIn();
    ~SimulatorStandIn();
    SimulatorStandIn(const SimulatorStandIn&) = delete;
    SimulatorStandIn& operator=(const SimulatorStandIn&) = delete;

    void setSoundState(std::int32_t state);
    std::int32_t soundState() const;
    void setTimeOfDay(std::uint8_t value) { write(timeOfDayOffset, &value, sizeof value); }
    std::uint8_t timeOfDay() const { return memory_[timeOfDayOffset]; }

    // Whether "GLOBAL.DLL" can be found.
    void setPresent(bool present);
    bool present() const { return present_; }

private:
    void write(std::size_t offset, const void* bytes, std::size_t size);

    alignas(8) std::array<std::uint8_t, 8192> memory_{};
    // Where the module reads while present: memory_ itself, or the loaded
    // stand-in module's copy of it.
    std::uint8_t* live_ = nullptr;
    bool present_ = false;
};

}  // namespace kob::host
