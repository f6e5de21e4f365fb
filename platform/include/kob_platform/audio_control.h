// The control interface of the portable DirectSound, for hosts and tests: the
// output clock (render), a view of the live buffers, fault injection, lost
// buffers and a log of the calls made. Module code never includes it.
//
// Time stands still between renders: a buffer's position only moves when a
// host calls render(), so everything here is deterministic. All functions may
// be called from any thread; each one runs under the platform's audio lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "kob_platform/win32.h"

namespace kob::platform {

// Forgets every device and buffer, fault, loss and log entry, and sets the
// device rate back to its default. Objects a caller still holds stay valid
// memory: every call on them then fails with DSERR_INVALIDCALL, and their
// last Release frees them. kob::platform::reset() calls this.
void resetAudio();

// ---- Output -----------------------------------------------------------------

constexpr std::uint32_t kDefaultDeviceRate = 44100;
constexpr std::uint32_t kMinDeviceRate = 8000;
constexpr std::uint32_t kMaxDeviceRate = 192000;

// The rate render() produces, in frames per second. Changing it restarts the
// resamplers (a few milliseconds of what was in flight are dropped); a rate
// outside kMinDeviceRate..kMaxDeviceRate throws std::invalid_argument.
void setDeviceRate(std::uint32_t framesPerSecond);
std::uint32_t deviceRate();

// Mixes every playing buffer into interleaved stereo float (left, right,
// left, ...) and advances their positions by exactly that much time. The span
// is overwritten; its size must be even (else std::invalid_argument).
//
// A buffer at the device rate is mixed directly. Buffers at another rate are
// mixed at their own rate and resampled together, which reads them ahead of
// the output by the resampler's latency (some 5 to 35 ms at 8000 Hz and up,
// more with long renders): their positions, and the moment a played-once
// buffer stops, follow what has been read, and what they play is heard that
// much later.
void render(std::span<float> interleavedStereo);
// The same into a new vector of frames * 2 samples.
std::vector<float> render(std::size_t frames);

// ---- Live objects -------------------------------------------------------------

// Buffers are numbered 1, 2, 3, ... in creation order since the last reset.
using BufferId = std::uint32_t;

struct BufferInfo {
    BufferId id = 0;
    DWORD flags = 0;        // dwFlags of its description
    DWORD sizeBytes = 0;    // dwBufferBytes
    WAVEFORMATEX format{};  // its PCM format (cbSize 0)
    bool probe = false;     // created with the probe size, DSBSIZE_MAX bytes
    bool allocated = false; // memory taken (on the first Lock); before that it plays silence
    bool playing = false;
    bool looping = false;
    bool lost = false;
    bool detached = false;  // its device was released: every call but AddRef/Release fails
    DWORD positionBytes = 0;
    LONG volume = 0;        // hundredths of a decibel, 0 full level
    LONG pan = 0;
    ULONG references = 0;
};

// Buffers not yet given up by their last Release, in creation order.
std::vector<BufferInfo> liveBuffers();
std::size_t liveBufferCount();
std::optional<BufferInfo> bufferInfo(BufferId id);
// The id of a buffer object handed out by CreateSoundBuffer, if it is live.
std::optional<BufferId> bufferIdOf(const IDirectSoundBuffer* buffer);
// The buffer's bytes as the mixer reads them; empty while nothing is allocated.
std::vector<std::uint8_t> bufferContents(BufferId id);
// Devices not yet given up by their last Release.
std::size_t liveDeviceCount();

// ---- Fault injection ----------------------------------------------------------

// The calls that can be made to fail.
enum class AudioCall {
    DirectSoundCreate,
    SetCooperativeLevel,
    CreateSoundBuffer,  // every CreateSoundBuffer call
    CreateProbeBuffer,  // only those asking for DSBSIZE_MAX bytes (the probe)
    CreateOtherBuffer,  // only those asking for any other size
    Lock,
    GetStatus,
    Play,
    Restore,
};

constexpr std::uint32_t kForever = 0xFFFFFFFFu;
constexpr BufferId kAnyBuffer = 0;

// The next `count` matching calls (or all of them, kForever) return `code`
// and do nothing else, except that DirectSoundCreate and CreateSoundBuffer
// leave their out pointer null and Lock its out values null and 0. `onlyBuffer`
// limits Lock, GetStatus, Play and Restore faults to one buffer. Faults are
// checked in the order they were added, after the call's own null-pointer
// checks; each call consumes at most one.
void failAudioCalls(AudioCall call, HRESULT code, std::uint32_t count = kForever, BufferId onlyBuffer = kAnyBuffer);
void clearAudioFaults();

// Marks a buffer lost, as when the system takes its memory: it stops, GetStatus
// reports DSBSTATUS_BUFFERLOST, Play and Lock fail with DSERR_BUFFERLOST, and
// the next `failingRestores` Restore calls (kForever: all) return
// DSERR_BUFFERLOST; the one after restores it, rewound and holding silence
// (0 bytes for 16-bit, 0x80 for 8-bit) until it is refilled. Calling it again on a lost
// buffer sets a new count, which is how a lasting loss is ended.
// Returns false if no live buffer has that id or pointer.
bool loseBuffer(BufferId id, std::uint32_t failingRestores = kForever);
bool loseBuffer(const IDirectSoundBuffer* buffer, std::uint32_t failingRestores = kForever);
void loseAllBuffers(std::uint32_t failingRestores = kForever);

// ---- Call log -----------------------------------------------------------------

// One call on a device or buffer. `buffer` is the buffer's id, or 0 for
// DirectSoundCreate and the device's own methods (for a successful
// CreateSoundBuffer, the new buffer's id). AddRef and Release give the new
// reference count as `result`. Arguments, as integers:
//   DirectSoundCreate    guid given (0/1), outer given (0/1)
//   SetCooperativeLevel  window given (0/1), level
//   CreateSoundBuffer    dwFlags, dwBufferBytes, wFormatTag, nChannels,
//                        nSamplesPerSec, wBitsPerSample (none when a pointer is null)
//   GetStatus            the status word given back (0 on failure)
//   GetVolume            the volume given back (0 on failure)
//   SetVolume, SetPan, SetCurrentPosition   the value
//   Play                 reserved, priority, flags
//   Lock                 offset, bytes, flags, first length and second length given back
//   Unlock               first pointer's offset in the buffer, first length,
//                        second pointer's offset, second length
//                        (an offset is -1 for a null pointer, -2 for one outside the buffer)
//   Stop, Restore, AddRef, Release   none
struct AudioCallRecord {
    std::string_view method;  // the method's name, e.g. "Lock"
    BufferId buffer = 0;
    std::vector<std::int64_t> args;
    HRESULT result = S_OK;
};

std::vector<AudioCallRecord> audioCallLog();
void clearAudioCallLog();
// Logging is on after a reset; a long-running host may switch it off.
void setAudioCallLogging(bool enabled);

}  // namespace kob::platform
