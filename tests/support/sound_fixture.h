// A module with sounds: WAV files written into the scratch folder, a stand-in
// for the simulator's "GLOBAL.DLL", updates with a moving simulation clock,
// and the portable mixer's view of each slot's buffer.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "kob_platform/audio_control.h"
#include "module_fixture.h"

namespace kob::test {

class SoundFixture : public ModuleFixture {
protected:
    static constexpr double frameSeconds = 1.0 / 18.0;

    // A 16-bit mono 22050 Hz tone of that many frames, at dir/name.
    std::string writeTone(const std::string& name, std::uint32_t frames = 2205);
    // Writes kob.ini with [Config] lines and Sound/Lvar keys for the given
    // sound values (slot 0, 1, ...), then setup, configure, registerVariables.
    void startWithSounds(const std::vector<std::string>& soundValues, const std::string& configLines = "");

    // The simulator module with its sound-state word and time-of-day byte.
    void simulatorPresent(std::int32_t soundState = 1, std::uint8_t timeOfDay = 0);
    void simulatorSoundState(std::int32_t soundState);

    // One panel update: the simulation clock moves unless paused.
    void update();
    // Lets the mixer play for that long.
    void play(double seconds);

    double var(const std::string& name) const { return host->value(name); }
    void set(const std::string& name, double value) const { host->set(name, value); }
    std::string slotVar(int slot) const { return this->slot(slot).controlVarName; }
    double slotValue(int slot) const { return var(slotVar(slot)); }
    void command(int slot, double value) const { set(slotVar(slot), value); }

    // The mixer's view of the slot's buffer, if it has one.
    std::optional<platform::BufferInfo> buffer(int slot) const;
    std::optional<platform::BufferId> bufferId(int slot) const;
    // Buffer calls logged since the last clearCalls, for one slot's buffer or all.
    std::vector<platform::AudioCallRecord> calls(std::optional<int> slot = std::nullopt) const;
    std::vector<std::string> methods(std::optional<int> slot = std::nullopt) const;
    void clearCalls() const { platform::clearAudioCallLog(); }

    alignas(8) std::array<unsigned char, 8192> simulatorMemory{};
};

}  // namespace kob::test
