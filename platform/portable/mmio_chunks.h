// RIFF chunk navigation over an mmio file: what mmioDescend and mmioAscend do
// once their handle and arguments have been checked.
#pragma once

#include "kob_platform/portable/mmio.h"
#include "mmio_file.h"

namespace kob::platform {

// Reads the chunk header at the position (flags 0) or searches forward for a
// chunk with chunk.ckid (MMIO_FINDCHUNK; with MMIO_FINDRIFF or MMIO_FINDLIST a
// RIFF or LIST chunk whose form type is chunk.fccType), up to the end of the
// file. `parent` only refuses a start at or past its end (nothing is read
// then). On success fills `chunk` and leaves the
// position at the chunk's data (past the form type for RIFF and LIST). On
// failure returns MMIOERR_CHUNKNOTFOUND; if the search stepped over chunks,
// `chunk` holds the last header (form type: the four bytes after it) and the
// position is past that chunk, else both are unchanged. A read error gives
// MMIOERR_CANNOTREAD with the position unchanged.
MMRESULT descendInto(MmioFile& file, MMCKINFO& chunk, const MMCKINFO* parent, UINT flags);

// Moves to the end of the chunk, past its pad byte when its size is odd.
MMRESULT ascendOutOf(MmioFile& file, const MMCKINFO& chunk);

}  // namespace kob::platform
