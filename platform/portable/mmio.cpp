// The mmio calls over MmioFile: open handles, buffered reading, the read
// buffer handed out and taken back, and chunk navigation. Files are read only.
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>

#include "kob_platform/mmio_control.h"
#include "kob_platform/portable/mmio.h"
#include "mmio_chunks.h"
#include "mmio_faults.h"
#include "mmio_file.h"
#include "windows_path.h"

namespace kob::platform {
namespace {

constexpr MMRESULT mmioErrorFileNotFound = 257;
// Share modes and MMIO_ALLOCBUF change nothing for a file only read.
constexpr DWORD acceptedOpenFlags = MMIO_ALLOCBUF | 0x00000070u;
constexpr std::int64_t largestPosition = std::numeric_limits<LONG>::max();

std::unordered_map<HMMIO, std::unique_ptr<MmioFile>>& openFiles() {
    static std::unordered_map<HMMIO, std::unique_ptr<MmioFile>> instance;
    return instance;
}

// The file behind a handle this library handed out and has not closed, or null.
MmioFile* fileOf(HMMIO handle) {
    const auto found = openFiles().find(handle);
    return found == openFiles().end() ? nullptr : found->second.get();
}

// Points the record at the file's buffer as it stands.
void describeBuffer(MmioFile& file, HMMIO handle, MMIOINFO& info) {
    char* const start = file.buffer();
    info = MMIOINFO{};
    info.dwFlags = MMIO_READ | MMIO_ALLOCBUF;
    info.cchBuffer = static_cast<LONG>(file.capacity());
    info.pchBuffer = start;
    info.pchNext = start + file.next();
    info.pchEndRead = start + file.validBytes();
    info.pchEndWrite = start;  // nothing may be written
    info.lBufOffset = static_cast<LONG>(file.bufferOffset());
    info.lDiskOffset = static_cast<LONG>(file.bufferOffset() + static_cast<std::int64_t>(file.validBytes()));
    info.hmmio = handle;
}

// Where a caller's pchNext points into the file's valid bytes, or nothing
// when it points elsewhere.
std::optional<std::size_t> nextIndexOf(MmioFile& file, const MMIOINFO& info) {
    const char* const start = file.buffer();
    if (info.pchNext < start || info.pchNext > start + file.validBytes()) return std::nullopt;
    return static_cast<std::size_t>(info.pchNext - start);
}

}  // namespace

std::size_t openMmioFileCount() { return openFiles().size(); }

void resetMmio() {
    openFiles().clear();
    clearMmioFaults();
}

}  // namespace kob::platform

using namespace kob::platform;

HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags) {
    MMRESULT error = MMSYSERR_NOERROR;
    std::unique_ptr<MmioFile> file;
    if (!fileName || (flags & ~acceptedOpenFlags) != 0) {
        error = MMSYSERR_INVALPARAM;
    } else {
        file = MmioFile::open(resolveWindowsPath(fileName));
        if (!file) error = mmioErrorFileNotFound;
    }
    if (info) info->wErrorRet = error;
    if (!file) return nullptr;
    HMMIO handle = file.get();
    openFiles().emplace(handle, std::move(file));
    return handle;
}

MMRESULT mmioClose(HMMIO handle, UINT /*flags*/) {
    return openFiles().erase(handle) == 1 ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

LONG mmioRead(HMMIO handle, HPSTR destination, LONG count) {
    MmioFile* file = fileOf(handle);
    if (!file || count < 0 || (!destination && count > 0)) return -1;
    const auto got = file->read({destination, static_cast<std::size_t>(count)});
    return got ? static_cast<LONG>(*got) : -1;
}

LONG mmioSeek(HMMIO handle, LONG offset, int origin) {
    MmioFile* file = fileOf(handle);
    if (!file) return -1;
    std::int64_t base = 0;
    switch (origin) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = file->position(); break;
        case SEEK_END: {
            const auto size = file->size();
            if (!size) return -1;
            base = *size;
            break;
        }
        default: return -1;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > largestPosition) return -1;
    if (mmioCallFails(MmioCall::seek)) return -1;
    file->seek(target);
    return static_cast<LONG>(target);
}

MMRESULT mmioDescend(HMMIO handle, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags) {
    MmioFile* file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    return descendInto(*file, *chunk, parent, flags);
}

MMRESULT mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT /*flags*/) {
    MmioFile* file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    if (mmioCallFails(MmioCall::ascend)) return MMIOERR_CANNOTSEEK;
    return ascendOutOf(*file, *chunk);
}

MMRESULT mmioGetInfo(HMMIO handle, LPMMIOINFO info, UINT /*flags*/) {
    MmioFile* file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!info) return MMSYSERR_INVALPARAM;
    if (mmioCallFails(MmioCall::getInfo)) return MMSYSERR_INVALHANDLE;
    describeBuffer(*file, handle, *info);
    return MMSYSERR_NOERROR;
}

MMRESULT mmioSetInfo(HMMIO handle, LPCMMIOINFO info, UINT /*flags*/) {
    MmioFile* file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!info) return MMSYSERR_INVALPARAM;
    const auto next = nextIndexOf(*file, *info);
    if (!next) return MMSYSERR_INVALPARAM;
    if (mmioCallFails(MmioCall::setInfo)) return MMSYSERR_INVALHANDLE;
    file->setNext(*next);
    return MMSYSERR_NOERROR;
}

MMRESULT mmioAdvance(HMMIO handle, LPMMIOINFO info, UINT flags) {
    MmioFile* file = fileOf(handle);
    if (!file) return MMSYSERR_INVALHANDLE;
    if (!info || flags != MMIO_READ) return MMSYSERR_INVALPARAM;
    const auto next = nextIndexOf(*file, *info);
    if (!next) return MMSYSERR_INVALPARAM;
    if (mmioCallFails(MmioCall::advance)) return MMIOERR_CANNOTREAD;
    // The bytes the caller took from the buffer count as delivered; the
    // refill starts with the first one it has not taken.
    file->setNext(*next);
    const bool refilled = file->refill();
    describeBuffer(*file, handle, *info);
    return refilled ? MMSYSERR_NOERROR : MMIOERR_CANNOTREAD;
}
