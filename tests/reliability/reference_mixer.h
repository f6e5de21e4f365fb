// The soak's picture of the portable DirectSound, written from what its calls
// promise (docs/platform/directsound.md, kob_platform/audio_control.h): each
// slot buffer's playing, looping, position, loss and level, the injected
// faults still pending, and the log of calls the module should have made.
//
// Only sounds at the device rate take part (16-bit mono, 44100 Hz), so a
// buffer played once stops exactly when the frames rendered since its start
// reach its length: no resampler reads ahead.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kob_platform/audio_control.h"

namespace kob::test {

struct ExpectedCall {
    std::string method;
    platform::BufferId buffer = 0;
    std::vector<std::int64_t> args;

    bool operator==(const ExpectedCall&) const = default;
    std::string text() const;
};

ExpectedCall observed(const platform::AudioCallRecord& record);

class ReferenceMixer {
public:
    // A buffer created by a successful CreateSoundBuffer, numbered as the
    // platform numbers them (creation order since the last reset).
    platform::BufferId create(std::uint32_t bytes);
    void setNextId(platform::BufferId next) { nextId_ = next; }

    // The buffer calls the module makes, with the platform's answers.
    // The status word, or nothing when the call fails.
    std::optional<DWORD> getStatus(platform::BufferId id);
    HRESULT play(platform::BufferId id, DWORD flags);
    void stop(platform::BufferId id);
    void setCurrentPosition(platform::BufferId id, DWORD position);
    void setVolume(platform::BufferId id, LONG volume);
    void setPan(platform::BufferId id, LONG pan);
    LONG getVolume(platform::BufferId id);
    HRESULT restore(platform::BufferId id);
    HRESULT lock(platform::BufferId id, DWORD bytes);
    void unlock(platform::BufferId id, DWORD bytes);
    void release(platform::BufferId id);
    void releaseDevice();

    // What happens between updates.
    void render(std::uint32_t frames);
    void lose(platform::BufferId id, std::uint32_t failingRestores);
    void addFault(platform::AudioCall call, HRESULT code, std::uint32_t count, platform::BufferId id);

    bool playing(platform::BufferId id) const { return buffers_.at(id).playing; }
    std::size_t pendingFaults() const { return faults_.size(); }
    // How often each method was called, over the whole run.
    const std::map<std::string, std::uint64_t>& callCounts() const { return counts_; }

    // Calls expected since the last take.
    std::vector<ExpectedCall> takeCalls();

private:
    struct Buffer {
        std::uint32_t frames = 0;
        bool playing = false;
        bool looping = false;
        std::uint32_t position = 0;  // frames
        bool lost = false;
        std::uint32_t failingRestores = 0;
        LONG volume = 0;
    };
    struct Fault {
        platform::AudioCall call;
        HRESULT code;
        std::uint32_t remaining;
        platform::BufferId buffer;
    };

    // The first pending fault for this call on this buffer, consumed; S_OK if none.
    HRESULT takeFault(platform::AudioCall call, platform::BufferId id);
    void log(const char* method, platform::BufferId id, std::vector<std::int64_t> args);

    std::map<platform::BufferId, Buffer> buffers_;
    std::vector<Fault> faults_;
    std::vector<ExpectedCall> calls_;
    std::map<std::string, std::uint64_t> counts_;
    platform::BufferId nextId_ = 1;
};

}  // namespace kob::test
