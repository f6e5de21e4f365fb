#include "mmio_chunks.h"

#include <algorithm>
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

// A chunk header as found in the file: id and size, and the four bytes after
// them (a RIFF or LIST chunk's form type; missing bytes read as 0).
struct RawHeader {
    MMCKINFO chunk{};
    FOURCC nextFour = 0;
};

// Reads the header at the position. Needs the 8 bytes of id and size; the
// form type may be cut off by the end of the file.
HeaderRead readHeader(MmioFile& file, RawHeader& header) {
    const std::int64_t start = file.position();
    if (start + headerSize > largestPosition) return HeaderRead::endOfFile;
    std::array<char, headerSize + formTypeSize> bytes{};
    const auto got = file.read(bytes);
    if (!got) return HeaderRead::readError;
    if (*got < static_cast<std::size_t>(headerSize)) return HeaderRead::endOfFile;
    header.chunk = {};
    header.chunk.ckid = littleEndian32(bytes.data());
    header.chunk.cksize = littleEndian32(bytes.data() + 4);
    header.chunk.dwDataOffset = static_cast<DWORD>(start + headerSize);
    header.nextFour = littleEndian32(bytes.data() + headerSize);
    if (hasFormType(header.chunk.ckid)) header.chunk.fccType = header.nextFour;
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
    // Like Windows, the parent only refuses a start at or past its end; the
    // search itself runs to the end of the file, so a RIFF size that is too
    // small does not hide the chunks after it.
    const std::int64_t start = file.position();
    if (parent && start >= static_cast<std::int64_t>(parent->dwDataOffset) + parent->cksize)
        return MMIOERR_CHUNKNOTFOUND;
    std::optional<RawHeader> stepped;
    std::int64_t candidate = start;
    for (;;) {
        file.seek(candidate);
        RawHeader header;
        const HeaderRead read = readHeader(file, header);
        if (read == HeaderRead::readError) {
            file.seek(start);
            return MMIOERR_CANNOTREAD;
        }
        if (read == HeaderRead::endOfFile) break;
        const MMCKINFO& found = header.chunk;
        if (matches(found, chunk, flags)) {
            chunk = found;
            file.seek(found.dwDataOffset + (hasFormType(found.ckid) ? formTypeSize : 0));
            return MMSYSERR_NOERROR;
        }
        stepped = header;
        candidate = static_cast<std::int64_t>(found.dwDataOffset) + paddedSize(found.cksize);
        if (candidate > largestPosition) break;
    }
    // As on Windows, a failed search leaves the last header it stepped over in
    // `chunk` (with the four bytes after it as the form type) and the position
    // where the next header would have been.
    if (stepped) {
        chunk = stepped->chunk;
        chunk.fccType = stepped->nextFour;
    }
    file.seek(std::min(candidate, largestPosition));
    return MMIOERR_CHUNKNOTFOUND;
}

MMRESULT ascendOutOf(MmioFile& file, const MMCKINFO& chunk) {
    const std::int64_t end = static_cast<std::int64_t>(chunk.dwDataOffset) + paddedSize(chunk.cksize);
    if (end > largestPosition) return MMIOERR_CANNOTSEEK;
    file.seek(end);
    return MMSYSERR_NOERROR;
}

}  // namespace kob::platform
