#include "mmio_chunks.h"

#include <array>
#include <limits>
#include <optional>

namespace kob::platform {
namespace {

constexpr std::int64_t headerSize = 8;
constexpr std::int64_t formTypeSize = 4;
constexpr std::int64_t largestPosition = std::numeric_limits<LONG>::max();

DWORD littleEndian32(const char* bytes) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<BYTE>(bytes[i]);
    return value;
}

bool hasFormType(FOURCC ckid) { return ckid == FOURCC_RIFF || ckid == FOURCC_LIST; }

// RIFF keeps every chunk at an even offset: an odd-sized chunk is followed by one pad byte.
std::int64_t paddedSize(DWORD cksize) { return static_cast<std::int64_t>(cksize) + (cksize & 1u); }

enum class HeaderRead { ok, endOfFile, readError };

// Reads the chunk header (and a RIFF or LIST chunk's form type) at the
// position, leaving the position after what was read.
HeaderRead readHeader(MmioFile& file, MMCKINFO& chunk) {
    const std::int64_t start = file.position();
    if (start + headerSize > largestPosition) return HeaderRead::endOfFile;
    std::array<char, headerSize> header{};
    const auto got = file.read(header);
    if (!got) return HeaderRead::readError;
    if (*got != header.size()) return HeaderRead::endOfFile;
    chunk.ckid = littleEndian32(header.data());
    chunk.cksize = littleEndian32(header.data() + 4);
    chunk.fccType = 0;
    chunk.dwDataOffset = static_cast<DWORD>(start + headerSize);
    chunk.dwFlags = 0;
    if (hasFormType(chunk.ckid)) {
        std::array<char, formTypeSize> type{};
        const auto gotType = file.read(type);
        if (!gotType) return HeaderRead::readError;
        if (*gotType != type.size()) return HeaderRead::endOfFile;
        chunk.fccType = littleEndian32(type.data());
    }
    return HeaderRead::ok;
}

bool matches(const MMCKINFO& found, const MMCKINFO& wanted, UINT flags) {
    if (flags & MMIO_FINDRIFF) return found.ckid == FOURCC_RIFF && found.fccType == wanted.fccType;
    if (flags & MMIO_FINDLIST) return found.ckid == FOURCC_LIST && found.fccType == wanted.fccType;
    if (flags & MMIO_FINDCHUNK) return found.ckid == wanted.ckid;
    return true;
}

}  // namespace

MMRESULT descendInto(MmioFile& file, MMCKINFO& chunk, const MMCKINFO* parent, UINT flags) {
    const std::int64_t start = file.position();
    const std::optional<std::int64_t> parentEnd =
        parent ? std::optional(static_cast<std::int64_t>(parent->dwDataOffset) + parent->cksize) : std::nullopt;
    const bool searching = (flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;

    std::int64_t candidate = start;
    for (;;) {
        if (parentEnd && candidate + headerSize > *parentEnd) break;
        file.seek(candidate);
        MMCKINFO found{};
        const HeaderRead read = readHeader(file, found);
        if (read == HeaderRead::readError) {
            file.seek(start);
            return MMIOERR_CANNOTREAD;
        }
        if (read == HeaderRead::endOfFile) break;
        if (matches(found, chunk, flags)) {
            chunk = found;
            return MMSYSERR_NOERROR;
        }
        if (!searching) break;
        candidate = static_cast<std::int64_t>(found.dwDataOffset) + paddedSize(found.cksize);
    }
    file.seek(start);
    return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT ascendOutOf(MmioFile& file, const MMCKINFO& chunk) {
    const std::int64_t end = static_cast<std::int64_t>(chunk.dwDataOffset) + paddedSize(chunk.cksize);
    if (end > largestPosition) return MMIOERR_CANNOTSEEK;
    file.seek(end);
    return MMSYSERR_NOERROR;
}

}  // namespace kob::platform
