// Reading WAV files: the RIFF WAVE header, the format record and the bytes of
// the data chunk, all through the mmio calls and their read buffer.
#pragma once

#include "kob_platform/win32.h"

namespace kob {

constexpr FOURCC riffChunkId = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC waveFormType = mmioFOURCC('W', 'A', 'V', 'E');
constexpr FOURCC formatChunkId = mmioFOURCC('f', 'm', 't', ' ');
constexpr FOURCC dataChunkId = mmioFOURCC('d', 'a', 't', 'a');

// Opens the file for buffered reading and reads its format. On failure
// nothing stays open; formatOut is then empty, unless the open itself failed,
// which leaves it untouched. handleOut is set only on success.
HRESULT openWaveFile(const char* path, HMMIO* handleOut, WAVEFORMATEX** formatOut, MMCKINFO* riffChunk);

// From the start of the file: checks the RIFF WAVE header, reads the "fmt "
// chunk into a new heap record (18 bytes for PCM, 18 + cbSize otherwise;
// free it with std::free) and leaves the position just past that chunk.
// formatOut is empty on failure.
HRESULT readWaveFormat(HMMIO handle, MMCKINFO* riffChunk, WAVEFORMATEX** formatOut);

// Copies up to count bytes of the data chunk from the position on, through the
// read buffer. dataChunk->cksize counts the bytes not yet read and is lowered
// by the whole request before any byte is copied, so a failed read counts as
// done until the next rewind. countReadOut is set only on success.
HRESULT readWaveData(HMMIO handle, DWORD count, BYTE* destination, MMCKINFO* dataChunk, DWORD* countReadOut);

// An open WAV file with its format, resting at the first byte of its data
// chunk between reads.
class WaveFile {
public:
    WaveFile() = default;
    // Closes the file if one is open and frees the format record.
    ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    // Opens the file, reads its format and moves to its data. Once per object.
    HRESULT open(const char* path);
    // Moves to the first data byte; dataChunk.cksize is the whole data size again.
    HRESULT seekToData();
    HRESULT read(DWORD count, BYTE* destination, DWORD* countReadOut);

    WAVEFORMATEX* format = nullptr;
    HMMIO handle = nullptr;
    MMCKINFO dataChunk = {};
    MMCKINFO riffChunk = {};
};

}  // namespace kob
