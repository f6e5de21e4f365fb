// Whether the module can play a WAV file, and if not why: the checks of its
// WAV reader (RIFF WAVE, a "fmt " chunk of at least 16 bytes, a "data" chunk
// inside the RIFF chunk), of DirectSound's CreateSoundBuffer (PCM, 1 or 2
// channels, 8 or 16 bits, block align and byte rate that agree, 100 to
// 200000 Hz, 4 bytes to 0x0FFFFFFF of data) and of the fill (the declared
// data lies within the file). A missing file is what the module answers with
// the ErrorFlag value; every other refusal leaves the slot silent.
#pragma once

#include <string>

namespace kob::host {

struct WaveCheck {
    enum class Verdict { Plays, Missing, Refused } verdict = Verdict::Plays;
    std::string reason;  // empty when it plays
};

// `path` as the module gets it: a Windows path, a relative one resolved from
// the working folder.
WaveCheck checkWave(const std::string& path);

}  // namespace kob::host
