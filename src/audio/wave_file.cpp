#include "audio/wave_file.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace kob {
namespace {

// The record as the buffer description and the file share it: 18 bytes,
// cbSize last; extra bytes of non-PCM formats follow it directly.
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);

// wFormatTag to wBitsPerSample: what every "fmt " chunk begins with.
constexpr LONG pcmFormatBytes = 16;
constexpr LONG extraCountBytes = 2;

WAVEFORMATEX* allocateFormat(const BYTE (&pcmPart)[pcmFormatBytes], WORD extraBytes) {
    auto* record = static_cast<WAVEFORMATEX*>(std::malloc(sizeof(WAVEFORMATEX) + extraBytes));
    if (!record) return nullptr;
    std::memcpy(record, pcmPart, pcmFormatBytes);
    record->cbSize = extraBytes;
    return record;
}

}  // namespace

HRESULT readWaveFormat(HMMIO handle, MMCKINFO* riffChunk, WAVEFORMATEX** formatOut) {
    *formatOut = nullptr;
    if (mmioDescend(handle, riffChunk, nullptr, 0) != 0) return E_FAIL;
    if (riffChunk->ckid != riffChunkId) return E_FAIL;
    if (riffChunk->fccType != waveFormType) return E_FAIL;

    MMCKINFO formatChunk = {};
    formatChunk.ckid = formatChunkId;
    if (mmioDescend(handle, &formatChunk, riffChunk, MMIO_FINDCHUNK) != 0) return E_FAIL;
    if (formatChunk.cksize < static_cast<DWORD>(pcmFormatBytes)) return E_FAIL;

    BYTE pcmPart[pcmFormatBytes] = {};
    if (mmioRead(handle, reinterpret_cast<HPSTR>(pcmPart), pcmFormatBytes) != pcmFormatBytes) return E_FAIL;
    WORD formatTag = 0;
    std::memcpy(&formatTag, pcmPart, sizeof formatTag);

    WAVEFORMATEX* record = nullptr;
    if (formatTag == WAVE_FORMAT_PCM) {
        // Whatever else a PCM chunk holds is skipped by the ascent.
        record = allocateFormat(pcmPart, 0);
        if (!record) return E_FAIL;
    } else {
        // The count and its bytes are taken as they come, even past the chunk's end.
        WORD extraBytes = 0;
        if (mmioRead(handle, reinterpret_cast<HPSTR>(&extraBytes), extraCountBytes) != extraCountBytes)
            return E_FAIL;
        record = allocateFormat(pcmPart, extraBytes);
        if (!record) return E_FAIL;
        HPSTR extras = reinterpret_cast<HPSTR>(record) + sizeof(WAVEFORMATEX);
        if (mmioRead(handle, extras, extraBytes) != extraBytes) {
            std::free(record);
            return E_FAIL;
        }
    }

    if (mmioAscend(handle, &formatChunk, 0) != 0) {
        std::free(record);
        return E_FAIL;
    }
    *formatOut = record;
    return S_OK;
}

HRESULT openWaveFile(const char* path, HMMIO* handleOut, WAVEFORMATEX** formatOut, MMCKINFO* riffChunk) {
    HMMIO handle = mmioOpenA(const_cast<LPSTR>(path), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!handle) return E_FAIL;
    const HRESULT result = readWaveFormat(handle, riffChunk, formatOut);
    if (FAILED(result)) {
        mmioClose(handle, 0);
        return result;
    }
    *handleOut = handle;
    return S_OK;
}

HRESULT readWaveData(HMMIO handle, DWORD count, BYTE* destination, MMCKINFO* dataChunk, DWORD* countReadOut) {
    *countReadOut = 0;
    MMIOINFO info = {};
    if (mmioGetInfo(handle, &info, 0) != 0) return E_FAIL;
    if (count > dataChunk->cksize) count = dataChunk->cksize;
    dataChunk->cksize -= count;

    // Copied in runs of what the read buffer holds; refilled whenever it runs dry.
    DWORD copied = 0;
    while (copied < count) {
        if (info.pchNext == info.pchEndRead) {
            if (mmioAdvance(handle, &info, MMIO_READ) != 0) return E_FAIL;
            if (info.pchNext == info.pchEndRead) return E_FAIL;  // the file ended first
        }
        const DWORD available = static_cast<DWORD>(info.pchEndRead - info.pchNext);
        const DWORD run = count - copied < available ? count - copied : available;
        std::memcpy(destination + copied, info.pchNext, run);
        info.pchNext += run;
        copied += run;
    }

    if (mmioSetInfo(handle, &info, 0) != 0) return E_FAIL;
    *countReadOut = count;
    return S_OK;
}

WaveFile::~WaveFile() {
    if (handle) {
        mmioClose(handle, 0);
        handle = nullptr;
    }
    if (format) {
        std::free(format);
        format = nullptr;
    }
}

HRESULT WaveFile::open(const char* path) {
    if (FAILED(openWaveFile(path, &handle, &format, &riffChunk))) return E_FAIL;
    return seekToData();
}

HRESULT WaveFile::seekToData() {
    // The form's first inner chunk begins just past the form type "WAVE".
    if (mmioSeek(handle, static_cast<LONG>(riffChunk.dwDataOffset + 4), SEEK_SET) == -1) return E_FAIL;
    dataChunk.ckid = dataChunkId;
    if (mmioDescend(handle, &dataChunk, &riffChunk, MMIO_FINDCHUNK) != 0) return E_FAIL;
    return S_OK;
}

HRESULT WaveFile::read(DWORD count, BYTE* destination, DWORD* countReadOut) {
    return readWaveData(handle, count, destination, &dataChunk, countReadOut);
}

}  // namespace kob
