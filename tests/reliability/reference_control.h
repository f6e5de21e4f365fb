// An independent model of the sound gauge's update: the per-slot command
// cycle and the global controls that follow it (stop all, the simulator's
// values, muting), written from the module's described behaviour. It holds
// the named variables as the XML gauges would see them and drives a
// ReferenceMixer with the buffer calls the module should make.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "reference_mixer.h"

namespace kob::test {

class ReferenceControl {
public:
    enum class WavFile { Valid, Missing, NotWave };

    struct Slot {
        std::string variable;
        WavFile file = WavFile::Valid;
        std::uint32_t dataBytes = 0;  // for a Valid file
        float volume = 0.0f;          // as configured
        // The module's fields.
        std::int32_t loaded = 0;
        std::int32_t started = 0;
        std::int32_t command = 0;
        std::int32_t playMode = 0;
        platform::BufferId buffer = 0;  // 0: none
    };

    struct Settings {
        std::int32_t errorFlag = 0;
        std::int32_t resetVolumeVar = 1;
        std::string volumeVar = "kob_vorlo_volume";
        std::string stopVar = "kob_stop_sounds";
    };

    ReferenceControl(Settings settings, std::vector<Slot> slots, ReferenceMixer& mixer);

    // The variables as they stand, e.g. after the host's start.
    std::map<std::string, double>& variables() { return vars_; }
    Slot& slot(std::size_t i) { return slots_.at(i); }
    std::size_t slotCount() const { return slots_.size(); }

    // Inputs the simulator provides to an update.
    struct Simulator {
        std::int32_t soundState = 1;
        std::uint8_t timeOfDay = 0;
        double probe = 0.0;  // simulator variable 604 this update
    };

    void update(const Simulator& simulator);
    // shutdown: stop what plays, release every loaded slot and the device.
    void shutdown();

private:
    double& var(const std::string& name) { return vars_[name]; }
    bool isPlaying(std::size_t i);  // a slot without a buffer counts as playing
    static LONG truncated(double level);
    static std::int32_t reportedLevel(std::int32_t attenuation) { return attenuation / 100 + 100; }
    std::int32_t currentLevel(std::size_t i);

    void visit(std::size_t i);
    void firstUse(std::size_t i, std::int32_t command);
    void loadSlot(std::size_t i);
    bool fill(std::size_t i);
    HRESULT playSlot(std::size_t i, bool looping);
    void start(std::size_t i, std::int32_t pan, bool looping);
    void stopSound(std::size_t i);
    void playOnce(std::size_t i, std::int32_t pan);
    void playLoop(std::size_t i, std::int32_t pan);
    void applyVolume(std::size_t i);
    void reportVolume(std::size_t i);

    void stopAll();
    void readSimulator(const Simulator& simulator);
    void updateMuting(const Simulator& simulator);

    Settings settings_;
    std::vector<Slot> slots_;
    ReferenceMixer& mixer_;
    std::map<std::string, double> vars_;
    std::int32_t simSoundState_ = -1;
    std::int32_t muted_ = 0;
    double lastProbe_ = 0.0;
};

}  // namespace kob::test
