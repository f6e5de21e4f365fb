// The refusal rules for buffer descriptions.
//
// Malformed requests (missing pointers, a wrong record size, a size out of
// range, format fields that contradict each other or are zero) are
// DSERR_INVALIDPARAM; a well-formed PCM-like format that the mixer cannot
// play (another format tag, more than two channels, other sample widths, a
// rate outside 100..200000 Hz) is DSERR_BADFORMAT.
#include "buffer_description.h"

#include <cstddef>
#include <cstring>

namespace kob::platform {
namespace {

// The description without its 3D algorithm field, as older callers pass it.
constexpr DWORD kShortDescriptionSize = offsetof(DSBUFFERDESC, guid3DAlgorithm);

HRESULT checkFlags(DWORD flags) noexcept {
    // Only secondary buffers are mixed here; the primary buffer is not offered.
    if (flags & DSBCAPS_PRIMARYBUFFER) return DSERR_INVALIDPARAM;
    if ((flags & DSBCAPS_LOCHARDWARE) && (flags & DSBCAPS_LOCSOFTWARE)) return DSERR_INVALIDPARAM;
    // There are no hardware voices and no 3D processing.
    if (flags & DSBCAPS_LOCHARDWARE) return DSERR_INVALIDCALL;
    if (flags & DSBCAPS_CTRL3D) return DSERR_CONTROLUNAVAIL;
    return DS_OK;
}

HRESULT checkFormat(const WAVEFORMATEX& f) noexcept {
    if (f.wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
    if (f.nChannels == 0 || f.nSamplesPerSec == 0 || f.wBitsPerSample == 0) return DSERR_INVALIDPARAM;
    if (f.nChannels > 2 || (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)) return DSERR_BADFORMAT;
    const DWORD blockAlign = DWORD{f.nChannels} * f.wBitsPerSample / 8;
    if (f.nBlockAlign != blockAlign) return DSERR_INVALIDPARAM;
    if (f.nAvgBytesPerSec != f.nSamplesPerSec * blockAlign) return DSERR_INVALIDPARAM;
    if (f.nSamplesPerSec < kMinBufferRate || f.nSamplesPerSec > kMaxBufferRate) return DSERR_BADFORMAT;
    return DS_OK;
}

}  // namespace

HRESULT checkBufferDescription(const DSBUFFERDESC* description) noexcept {
    if (!description) return DSERR_INVALIDPARAM;
    if (description->dwSize != sizeof(DSBUFFERDESC) && description->dwSize != kShortDescriptionSize)
        return DSERR_INVALIDPARAM;
    if (const HRESULT result = checkFlags(description->dwFlags); FAILED(result)) return result;
    if (!description->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (description->dwBufferBytes < DSBSIZE_MIN || description->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    return checkFormat(pcmFormatOf(*description));
}

WAVEFORMATEX pcmFormatOf(const DSBUFFERDESC& description) noexcept {
    WAVEFORMATEX format{};
    std::memcpy(&format, description.lpwfxFormat, sizeof(PCMWAVEFORMAT));
    format.cbSize = 0;
    return format;
}

}  // namespace kob::platform
