// Portable multimedia file I/O (the mmio calls) with the Windows signatures.
#pragma once

#include "kob_platform/portable/win_types.h"

struct MmioFile;
using HMMIO = MmioFile*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d) {
    return static_cast<FOURCC>(static_cast<BYTE>(a)) | (static_cast<FOURCC>(static_cast<BYTE>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c)) << 16) | (static_cast<FOURCC>(static_cast<BYTE>(d)) << 24);
}

constexpr FOURCC FOURCC_RIFF = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = mmioFOURCC('L', 'I', 'S', 'T');

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;
constexpr UINT MMIO_DIRTY = 0x10000000;

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 266;
constexpr MMRESULT MMIOERR_CANNOTREAD = 267;

// The state of the read buffer; callers use pchNext and pchEndRead.
struct MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    UINT wErrorRet;
    LONG cchBuffer;
    HPSTR pchBuffer;
    HPSTR pchNext;
    HPSTR pchEndRead;
    HPSTR pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    HMMIO hmmio;
};
using LPMMIOINFO = MMIOINFO*;
using LPCMMIOINFO = const MMIOINFO*;

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
};
using LPMMCKINFO = MMCKINFO*;
using LPCMMCKINFO = const MMCKINFO*;

KOB_PLATFORM_API HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags);
KOB_PLATFORM_API MMRESULT mmioClose(HMMIO handle, UINT flags);
KOB_PLATFORM_API LONG mmioRead(HMMIO handle, HPSTR destination, LONG count);
KOB_PLATFORM_API LONG mmioSeek(HMMIO handle, LONG offset, int origin);
KOB_PLATFORM_API MMRESULT mmioDescend(HMMIO handle, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags);
KOB_PLATFORM_API MMRESULT mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT flags);
KOB_PLATFORM_API MMRESULT mmioGetInfo(HMMIO handle, LPMMIOINFO info, UINT flags);
KOB_PLATFORM_API MMRESULT mmioSetInfo(HMMIO handle, LPCMMIOINFO info, UINT flags);
KOB_PLATFORM_API MMRESULT mmioAdvance(HMMIO handle, LPMMIOINFO info, UINT flags);

constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 1)
struct WAVEFORMAT {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
};
struct PCMWAVEFORMAT {
    WAVEFORMAT wf;
    WORD wBitsPerSample;
};
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(PCMWAVEFORMAT) == 16);
static_assert(sizeof(WAVEFORMATEX) == 18);
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;
