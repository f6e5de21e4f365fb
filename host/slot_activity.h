// What each slot's sound did during a run, from the portable mixer's view of
// its buffers: how often it started, wrapped round in a loop, reached its end
// or was stopped.
//
// The module does not say which buffer belongs to which slot, so buffers are
// attributed: in an update, the slots that may load for the first time are
// those without a buffer yet whose variable commands 1 to 4 and whose WAV file
// opens and starts like a RIFF WAVE file. The module visits slots in ascending
// order and creates at most one buffer per loaded slot, so the buffers new
// after the update (the device's probe buffer aside), in creation order, go to
// those slots in ascending order. A file that looks like a WAV file but that
// the module cannot load (so gets no buffer) would shift the attribution of a
// higher slot loading in the same update.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "kob_platform/audio_control.h"
#include "panel_host.h"
#include "slot_config.h"

namespace kob::host {

struct SlotSummary {
    SlotConfig config;
    std::optional<platform::BufferId> buffer;
    unsigned started = 0;
    unsigned looped = 0;   // times a looping sound wrapped round to its start
    unsigned ended = 0;    // a sound played once reached its end
    unsigned stopped = 0;  // stopped during an update (a command, stop-all, a loss)
};

// What a slot's sound is doing at the moment, from the mixer's view of its
// buffer. Muted: playing at DSBVOLUME_MIN (-10000), which is how the module
// silences every loaded sound while the simulation is paused or its sound is
// off (a slot whose configured level is 0 shows the same).
enum class SlotPlayState { Idle, PlayingOnce, Looping, Muted };

class SlotActivity {
public:
    explicit SlotActivity(std::vector<SlotConfig> slots);

    // Before an update: which slots may load their buffer in it.
    void beforeUpdate(const PanelHost& host);
    // After the update: new buffers attributed; starts and stops counted.
    void afterUpdate();
    // After the frame's audio has been rendered: loops and ends counted.
    void afterRender(std::uint64_t renderedFrames, std::uint32_t deviceRate);

    std::optional<platform::BufferId> bufferOf(int slot) const;
    // As last polled (after an update or a render).
    SlotPlayState state(std::size_t slot) const;
    // As polled after the last update, before its frame was rendered: a sound
    // shorter than a frame is only seen here.
    SlotPlayState stateAfterUpdate(std::size_t slot) const;
    const std::vector<SlotSummary>& slots() const { return slots_; }

private:
    struct Seen {
        bool playing = false;
        bool looping = false;
        DWORD position = 0;
        bool silent = false;  // at DSBVOLUME_MIN
    };
    void poll(bool afterRender, std::uint64_t renderedFrames, std::uint32_t deviceRate);
    static SlotPlayState stateOf(const Seen& seen);

    std::vector<SlotSummary> slots_;
    std::vector<Seen> seen_;
    std::vector<Seen> seenAfterUpdate_;
    std::vector<std::size_t> loading_;  // slots that may load in this update, ascending
    platform::BufferId lastBuffer_ = 0;
};

}  // namespace kob::host
