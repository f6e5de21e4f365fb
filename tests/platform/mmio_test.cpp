// The portable mmio calls: buffered reading, seeking, chunk descent and
// ascent, the read buffer handed out and taken back, and injected failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kob_platform/control.h"
#include "kob_platform/mmio_control.h"
#include "kob_platform/win32.h"
#include "temp_dir.h"
#include "wav_builder.h"

namespace kob::test {
namespace {

using platform::MmioCall;

constexpr DWORD readFlags = MMIO_ALLOCBUF | MMIO_READ;

// Bytes whose pattern does not repeat at any power of two, so a byte read
// from the wrong place shows.
std::string patternBytes(std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return bytes;
}

class Mmio : public ::testing::Test {
protected:
    void SetUp() override { platform::reset(); }
    void TearDown() override { platform::reset(); }

    HMMIO open(const std::string& bytes) {
        path_ = dir.write("file.bin", bytes).string();
        HMMIO handle = mmioOpenA(path_.data(), nullptr, readFlags);
        EXPECT_NE(handle, nullptr) << path_;
        return handle;
    }

    static LONG position(HMMIO handle) { return mmioSeek(handle, 0, SEEK_CUR); }

    static std::string read(HMMIO handle, LONG count) {
        std::string bytes(static_cast<std::size_t>(count), '\0');
        const LONG got = mmioRead(handle, bytes.data(), count);
        bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        return bytes;
    }

    TempDir dir;

private:
    std::string path_;
};

// --- opening and closing ---------------------------------------------------

TEST_F(Mmio, OpenRefusesWhatItCannotRead) {
    const std::string folder = dir.path().string();
    std::string missing = (dir.path() / "missing.wav").string();
    std::string existing = dir.write("present.wav", "RIFF").string();
    struct Case {
        const char* name;
        const char* path;
        DWORD flags;
    };
    const std::vector<Case> cases = {
        {"missing file", missing.c_str(), readFlags},
        {"folder", folder.c_str(), readFlags},
        {"no name", nullptr, readFlags},
        {"opened for writing", existing.c_str(), readFlags | 0x00000001u},
        {"created", existing.c_str(), readFlags | 0x00001000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MMIOINFO info{};
        EXPECT_EQ(mmioOpenA(const_cast<LPSTR>(c.path), &info, c.flags), nullptr);
        EXPECT_NE(info.wErrorRet, 0u);
        EXPECT_EQ(platform::openMmioFileCount(), 0u);
    }
}

TEST_F(Mmio, OpenTakesWindowsSeparatorsAndStartsAtTheFirstByte) {
    std::string path = dir.write("sub/file.bin", "abc").string();
    for (char& c : path)
        if (c == '/') c = '\\';
    HMMIO handle = mmioOpenA(path.data(), nullptr, readFlags);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(position(handle), 0);
    EXPECT_EQ(read(handle, 3), "abc");
}

TEST_F(Mmio, ClosedHandleIsRefusedEverywhere) {
    HMMIO handle = open(std::string("RIFF") + le32(4) + "WAVE");
    EXPECT_EQ(platform::openMmioFileCount(), 1u);
    EXPECT_EQ(mmioClose(handle, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(platform::openMmioFileCount(), 0u);

    char byte = 0;
    MMIOINFO info{};
    MMCKINFO chunk{};
    EXPECT_EQ(mmioClose(handle, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioRead(handle, &byte, 1), -1);
    EXPECT_EQ(mmioSeek(handle, 0, SEEK_SET), -1);
    EXPECT_EQ(mmioDescend(handle, &chunk, nullptr, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioAscend(handle, &chunk, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioSetInfo(handle, &info, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioClose(nullptr, 0), MMSYSERR_INVALHANDLE);
}

TEST_F(Mmio, ResetClosesFilesLeftOpen) {
    open("one");
    open("two");
    EXPECT_EQ(platform::openMmioFileCount(), 2u);
    platform::reset();
    EXPECT_EQ(platform::openMmioFileCount(), 0u);
}

// --- reading and seeking ---------------------------------------------------

TEST_F(Mmio, ReadsDeliverTheFileInOrderAcrossBufferRefills) {
    struct Case {
        std::size_t fileSize;
        LONG piece;
    };
    const std::vector<Case> cases = {{0, 16},     {100, 100},    {100, 1000},   {20000, 1},
                                     {20000, 7},  {20000, 8191}, {20000, 8192}, {20000, 8193},
                                     {20000, 20000}, {20000, 65536}};
    for (const auto& c : cases) {
        SCOPED_TRACE("file " + std::to_string(c.fileSize) + " in pieces of " + std::to_string(c.piece));
        const std::string bytes = patternBytes(c.fileSize);
        HMMIO handle = open(bytes);
        std::string delivered;
        for (std::string piece = read(handle, c.piece); !piece.empty(); piece = read(handle, c.piece)) {
            ASSERT_LE(piece.size(), static_cast<std::size_t>(c.piece));
            delivered += piece;
        }
        EXPECT_EQ(delivered, bytes);
        EXPECT_EQ(position(handle), static_cast<LONG>(c.fileSize));
        EXPECT_EQ(mmioRead(handle, delivered.data(), 0), 0);
        mmioClose(handle, 0);
    }
}

TEST_F(Mmio, ReadRefusesNegativeCountsAndMissingDestinations) {
    HMMIO handle = open("abcdef");
    char byte = 0;
    EXPECT_EQ(mmioRead(handle, &byte, -1), -1);
    EXPECT_EQ(mmioRead(handle, nullptr, 3), -1);
    EXPECT_EQ(position(handle), 0);
}

TEST_F(Mmio, SeekMovesFromEachOriginInsideAndOutsideTheBuffer) {
    const std::string bytes = patternBytes(20000);
    struct Case {
        const char* name;
        LONG readFirst;
        LONG offset;
        int origin;
        LONG expected;  // -1: refused, position unchanged
    };
    const std::vector<Case> cases = {
        {"set, inside the buffer", 100, 50, SEEK_SET, 50},
        {"set, past the buffer", 100, 15000, SEEK_SET, 15000},
        {"set, to the start", 9000, 0, SEEK_SET, 0},
        {"current, forward", 100, 20, SEEK_CUR, 120},
        {"current, back", 9000, -8500, SEEK_CUR, 500},
        {"current, nowhere", 37, 0, SEEK_CUR, 37},
        {"end", 0, -10, SEEK_END, 19990},
        {"end exactly", 0, 0, SEEK_END, 20000},
        {"past the end", 0, 5, SEEK_END, 20005},
        {"before the start", 100, -101, SEEK_CUR, -1},
        {"negative absolute", 0, -1, SEEK_SET, -1},
        {"unknown origin", 10, 0, 7, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HMMIO handle = open(bytes);
        read(handle, c.readFirst);
        EXPECT_EQ(mmioSeek(handle, c.offset, c.origin), c.expected);
        const LONG now = c.expected == -1 ? c.readFirst : c.expected;
        EXPECT_EQ(position(handle), now);
        EXPECT_EQ(read(handle, 5), bytes.substr(std::min<std::size_t>(now, bytes.size()), 5));
        mmioClose(handle, 0);
    }
}

// --- chunks ----------------------------------------------------------------

TEST_F(Mmio, DescendWithoutFlagsReadsTheHeaderHere) {
    struct Case {
        const char* name;
        std::string bytes;
        MMRESULT result;
        FOURCC ckid;
        DWORD cksize;
        FOURCC fccType;
        LONG positionAfter;
    };
    const std::vector<Case> cases = {
        {"RIFF form", RiffBuilder("WAVE").chunk("abcd", "xy").build(), MMSYSERR_NOERROR, FOURCC_RIFF, 14,
         mmioFOURCC('W', 'A', 'V', 'E'), 12},
        {"LIST form", std::string("LIST") + le32(4) + "INFO", MMSYSERR_NOERROR, FOURCC_LIST, 4,
         mmioFOURCC('I', 'N', 'F', 'O'), 12},
        {"plain chunk", std::string("abcd") + le32(5) + "hello", MMSYSERR_NOERROR, mmioFOURCC('a', 'b', 'c', 'd'),
         5, 0, 8},
        {"header cut short", std::string("abcd") + "\x05\0", MMIOERR_CHUNKNOTFOUND, 0, 0, 0, 0},
        // The missing bytes of a form type read as 0; the position is past where it would be.
        {"form type cut short", std::string("RIFF") + le32(4) + "WA", MMSYSERR_NOERROR, FOURCC_RIFF, 4,
         mmioFOURCC('W', 'A', '\0', '\0'), 12},
        {"empty file", "", MMIOERR_CHUNKNOTFOUND, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HMMIO handle = open(c.bytes);
        MMCKINFO chunk{};
        ASSERT_EQ(mmioDescend(handle, &chunk, nullptr, 0), c.result);
        EXPECT_EQ(position(handle), c.positionAfter);
        if (c.result == MMSYSERR_NOERROR) {
            EXPECT_EQ(chunk.ckid, c.ckid);
            EXPECT_EQ(chunk.cksize, c.cksize);
            EXPECT_EQ(chunk.fccType, c.fccType);
            EXPECT_EQ(chunk.dwDataOffset, 8u);  // the form type, for RIFF and LIST
        }
        mmioClose(handle, 0);
    }
}

TEST_F(Mmio, FindChunkSearchesForwardToTheEndOfTheFile) {
    const std::string info = std::string("INFO") + "INAM" + le32(3) + "abc" + '\0';
    struct Case {
        const char* name;
        RiffBuilder file;
        const char* wanted;
        bool withParent;
        std::optional<std::size_t> foundChunk;  // index in the builder, or not found
        // When not found: the last chunk stepped over, and where the next header would be.
        const char* lastSeen = "";
        LONG failedAt = 0;
    };
    const std::vector<Case> cases = {
        {"first chunk", RiffBuilder().chunk("fmt ", "0123456789abcdef").chunk("data", "xy"), "fmt ", true, 0},
        {"after an odd-sized chunk and its pad byte",
         RiffBuilder().chunk("JUNK", "odd").chunk("data", "samples"), "data", true, 1},
        {"after several chunks",
         RiffBuilder().chunk("JUNK", "").chunk("LIST", info).chunk("fact", "1234").chunk("data", "z"), "data", true,
         3},
        {"an odd-sized chunk itself", RiffBuilder().chunk("abcd", "12345").chunk("data", "z"), "abcd", true, 0},
        {"missing", RiffBuilder().chunk("fmt ", "0123456789abcdef"), "data", true, std::nullopt, "fmt ", 36},
        // The parent's size bounds nothing once the search has started inside it.
        {"past the parent's declared end",
         RiffBuilder().declaredSize(4 + 8 + 2).chunk("JUNK", "ab").chunk("data", "samples"), "data", true, 1},
        {"header straddling the parent's end",
         RiffBuilder().declaredSize(4 + 8 + 2 + 4).chunk("JUNK", "ab").chunk("data", "samples"), "data", true, 1},
        {"past the declared end without a parent",
         RiffBuilder().declaredSize(4 + 8 + 2).chunk("JUNK", "ab").chunk("data", "samples"), "data", false, 1},
        {"inside a LIST only", RiffBuilder().chunk("LIST", info).chunk("data", "z"), "INAM", true, std::nullopt,
         "data", 46},
        {"declared size running past the file",
         RiffBuilder().chunk("JUNK", "ab", {.declaredSize = 1000}).chunk("data", "z"), "data", true, std::nullopt,
         "JUNK", 20 + 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HMMIO handle = open(c.file.build());
        MMCKINFO riff{};
        ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
        MMCKINFO chunk{};
        chunk.ckid = mmioFOURCC(c.wanted[0], c.wanted[1], c.wanted[2], c.wanted[3]);
        const MMRESULT result = mmioDescend(handle, &chunk, c.withParent ? &riff : nullptr, MMIO_FINDCHUNK);
        if (c.foundChunk) {
            ASSERT_EQ(result, MMSYSERR_NOERROR);
            const auto body = static_cast<LONG>(c.file.bodyOffset(*c.foundChunk));
            EXPECT_EQ(chunk.ckid, mmioFOURCC(c.wanted[0], c.wanted[1], c.wanted[2], c.wanted[3]));
            EXPECT_EQ(chunk.dwDataOffset, static_cast<DWORD>(body));
            EXPECT_EQ(position(handle), body);
        } else {
            EXPECT_EQ(result, MMIOERR_CHUNKNOTFOUND);
            EXPECT_EQ(chunk.ckid, mmioFOURCC(c.lastSeen[0], c.lastSeen[1], c.lastSeen[2], c.lastSeen[3]))
                << "a failed search leaves the last header it read";
            EXPECT_EQ(position(handle), c.failedAt) << "and the position past that chunk";
        }
        mmioClose(handle, 0);
    }
}

TEST_F(Mmio, DescendRefusesAStartAtOrPastTheParentsEnd) {
    // RIFF size 4 + 24: the parent ends right after "fmt ", before "data".
    const std::string bytes = RiffBuilder().declaredSize(4 + 24).fmt(WaveFormat::pcm(1, 8000, 8)).data("xy").build();
    for (UINT flags : {0u, static_cast<UINT>(MMIO_FINDCHUNK)}) {
        SCOPED_TRACE(flags);
        HMMIO handle = open(bytes);
        MMCKINFO riff{};
        ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
        ASSERT_EQ(mmioSeek(handle, 36, SEEK_SET), 36);
        MMCKINFO chunk{};
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        EXPECT_EQ(mmioDescend(handle, &chunk, &riff, flags), MMIOERR_CHUNKNOTFOUND);
        EXPECT_EQ(position(handle), 36);
        EXPECT_EQ(chunk.cksize, 0u) << "nothing was read";
        EXPECT_EQ(mmioDescend(handle, &chunk, nullptr, flags), MMSYSERR_NOERROR) << "without the parent it is found";
        mmioClose(handle, 0);
    }
}

TEST_F(Mmio, FindChunkInsideAListAndFindListByFormType) {
    const std::string info = std::string("INFO") + "INAM" + le32(3) + "abc" + '\0' + "ICMT" + le32(2) + "hi";
    const RiffBuilder file = RiffBuilder().chunk("LIST", std::string("adtl")).chunk("LIST", info).chunk("data", "z");
    HMMIO handle = open(file.build());
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);

    MMCKINFO list{};
    list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioDescend(handle, &list, &riff, MMIO_FINDLIST), MMSYSERR_NOERROR);
    EXPECT_EQ(list.dwDataOffset, file.bodyOffset(1));
    EXPECT_EQ(position(handle), static_cast<LONG>(file.bodyOffset(1) + 4));

    MMCKINFO comment{};
    comment.ckid = mmioFOURCC('I', 'C', 'M', 'T');
    ASSERT_EQ(mmioDescend(handle, &comment, &list, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(comment.cksize, 2u);
    EXPECT_EQ(read(handle, 2), "hi");

    // Back out of the LIST: the next chunk of the form follows.
    ASSERT_EQ(mmioAscend(handle, &list, 0), MMSYSERR_NOERROR);
    MMCKINFO next{};
    ASSERT_EQ(mmioDescend(handle, &next, &riff, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(next.ckid, mmioFOURCC('d', 'a', 't', 'a'));
}

TEST_F(Mmio, AscendMovesPastTheChunkAndItsPadByte) {
    struct Case {
        const char* name;
        std::string body;
        LONG readInside;
    };
    const std::vector<Case> cases = {
        {"even size, untouched", "abcd", 0},
        {"even size, partly read", "abcdef", 3},
        {"odd size", "abcde", 0},
        {"odd size, read to its end", "abcde", 5},
        {"empty", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RiffBuilder file = RiffBuilder().chunk("test", c.body).chunk("next", "zz");
        HMMIO handle = open(file.build());
        MMCKINFO riff{};
        MMCKINFO chunk{};
        ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
        ASSERT_EQ(mmioDescend(handle, &chunk, &riff, 0), MMSYSERR_NOERROR);
        read(handle, c.readInside);
        ASSERT_EQ(mmioAscend(handle, &chunk, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(position(handle), static_cast<LONG>(file.bodyOffset(1) - 8));
        MMCKINFO next{};
        ASSERT_EQ(mmioDescend(handle, &next, &riff, 0), MMSYSERR_NOERROR);
        EXPECT_EQ(next.ckid, mmioFOURCC('n', 'e', 'x', 't'));
        mmioClose(handle, 0);
    }
}

TEST_F(Mmio, AscendOutOfAnOddSizedRiffFormSkipsItsPadByte) {
    const RiffBuilder file = RiffBuilder().chunk("abcd", "x", {.padded = false});  // RIFF size 13
    HMMIO handle = open(file.build() + std::string(1, '\0') + "tail");
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(riff.cksize, 13u);
    ASSERT_EQ(mmioAscend(handle, &riff, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(position(handle), 22);
    EXPECT_EQ(read(handle, 4), "tail");
}

// --- the read buffer handed out --------------------------------------------

TEST_F(Mmio, AdvanceWalksTheWholeFileAndEndsWithAnEmptyBuffer) {
    const std::string bytes = patternBytes(20000);
    HMMIO handle = open(bytes);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    ASSERT_NE(info.pchBuffer, nullptr);
    ASSERT_GT(info.cchBuffer, 0);
    EXPECT_EQ(info.pchNext, info.pchEndRead) << "nothing is buffered before the first read";

    std::string delivered;
    for (;;) {
        ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);
        ASSERT_EQ(info.pchNext, info.pchBuffer);
        ASSERT_LE(info.pchEndRead - info.pchNext, info.cchBuffer);
        if (info.pchNext == info.pchEndRead) break;
        EXPECT_EQ(info.lBufOffset, static_cast<LONG>(delivered.size()));
        delivered.append(info.pchNext, info.pchEndRead);
        info.pchNext = info.pchEndRead;
    }
    EXPECT_EQ(delivered, bytes);
    // Further advances at the end stay empty.
    ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);
    EXPECT_EQ(info.pchNext, info.pchEndRead);
    ASSERT_EQ(mmioSetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(position(handle), 20000);
}

TEST_F(Mmio, DirectReadsAndTheHandedOutBufferShareOnePosition) {
    const std::string bytes = patternBytes(20000);
    HMMIO handle = open(bytes);
    ASSERT_EQ(read(handle, 10), bytes.substr(0, 10));

    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    ASSERT_LT(info.pchNext, info.pchEndRead);
    EXPECT_EQ(*info.pchNext, bytes[10]);
    info.pchNext += 5;  // five bytes taken straight from the buffer
    ASSERT_EQ(mmioSetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(position(handle), 15);
    EXPECT_EQ(read(handle, 3), bytes.substr(15, 3));

    // A refill with bytes still in the buffer starts at the first one not taken.
    ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    info.pchNext += 2;
    ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);
    EXPECT_EQ(info.lBufOffset, 20);
    EXPECT_EQ(std::string(info.pchNext, 4), bytes.substr(20, 4));
    info.pchNext += 4;
    ASSERT_EQ(mmioSetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(read(handle, 2), bytes.substr(24, 2));
}

TEST_F(Mmio, HandedOutBufferFollowsSeeksAndDescents) {
    const std::string samples = patternBytes(12000);
    const RiffBuilder file = RiffBuilder().chunk("fmt ", std::string(16, 'f')).chunk("data", samples);
    const std::string bytes = file.build();
    for (LONG target : {LONG{0}, LONG{30}, LONG{9000}, LONG{11999}, static_cast<LONG>(bytes.size())}) {
        SCOPED_TRACE("seek to " + std::to_string(target));
        HMMIO handle = open(bytes);
        read(handle, 40);
        ASSERT_EQ(mmioSeek(handle, target, SEEK_SET), target);
        MMIOINFO info{};
        ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
        if (info.pchNext == info.pchEndRead) {
            ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);
        }
        if (static_cast<std::size_t>(target) == bytes.size())
            EXPECT_EQ(info.pchNext, info.pchEndRead);
        else
            EXPECT_EQ(*info.pchNext, bytes[static_cast<std::size_t>(target)]);
        mmioClose(handle, 0);
    }

    HMMIO handle = open(bytes);
    MMCKINFO riff{};
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioDescend(handle, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    if (info.pchNext == info.pchEndRead) {
        ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(*info.pchNext, samples[0]);
}

TEST_F(Mmio, BufferCallsRefuseRecordsThatPointOutsideTheBuffer) {
    HMMIO handle = open(patternBytes(100));
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioAdvance(handle, &info, MMIO_READ), MMSYSERR_NOERROR);

    MMIOINFO beyond = info;
    beyond.pchNext = info.pchEndRead + 1;
    EXPECT_EQ(mmioSetInfo(handle, &beyond, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(mmioAdvance(handle, &beyond, MMIO_READ), MMSYSERR_INVALPARAM);
    MMIOINFO before = info;
    before.pchNext = info.pchBuffer - 1;
    EXPECT_EQ(mmioSetInfo(handle, &before, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(mmioAdvance(handle, &info, 0x0001 /* for writing */), MMSYSERR_INVALPARAM);
    EXPECT_EQ(mmioGetInfo(handle, nullptr, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(mmioAdvance(handle, nullptr, MMIO_READ), MMSYSERR_INVALPARAM);
    EXPECT_EQ(position(handle), 0);
}

// --- injected failures -----------------------------------------------------

struct FaultCase {
    const char* name;
    MmioCall call;
    // Makes one call; true when it succeeded. Checks that a failed call changed nothing.
    std::function<bool(HMMIO)> attempt;
};

std::vector<FaultCase> faultCases() {
    const auto positionOf = [](HMMIO handle) { return mmioSeek(handle, 0, SEEK_CUR); };
    return {
        {"mmioGetInfo", MmioCall::getInfo,
         [](HMMIO handle) {
             MMIOINFO info{};
             info.cchBuffer = 1234;
             const bool ok = mmioGetInfo(handle, &info, 0) == MMSYSERR_NOERROR;
             if (!ok) {
                 EXPECT_EQ(info.cchBuffer, 1234) << "a failed call leaves the record alone";
             }
             return ok;
         }},
        {"mmioAdvance", MmioCall::advance,
         [](HMMIO handle) {
             MMIOINFO info{};
             EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
             const MMIOINFO before = info;
             const bool ok = mmioAdvance(handle, &info, MMIO_READ) == MMSYSERR_NOERROR;
             if (!ok) {
                 EXPECT_EQ(std::memcmp(&before, &info, sizeof info), 0);
             }
             return ok;
         }},
        {"mmioSetInfo", MmioCall::setInfo,
         [positionOf](HMMIO handle) {
             mmioSeek(handle, 4, SEEK_SET);
             MMIOINFO info{};
             EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
             if (info.pchNext == info.pchEndRead) {
                 EXPECT_EQ(mmioAdvance(handle, &info, MMIO_READ), 0u);
             }
             info.pchNext += 1;
             const bool ok = mmioSetInfo(handle, &info, 0) == MMSYSERR_NOERROR;
             EXPECT_EQ(positionOf(handle), ok ? 5 : 4);
             return ok;
         }},
        {"mmioAscend", MmioCall::ascend,
         [positionOf](HMMIO handle) {
             mmioSeek(handle, 0, SEEK_SET);
             MMCKINFO riff{};
             EXPECT_EQ(mmioDescend(handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
             const bool ok = mmioAscend(handle, &riff, 0) == MMSYSERR_NOERROR;
             EXPECT_EQ(positionOf(handle), ok ? static_cast<LONG>(8 + riff.cksize + (riff.cksize & 1)) : 12);
             return ok;
         }},
        {"mmioSeek", MmioCall::seek,
         [](HMMIO handle) {
             // The position is told by the buffer here, as asking mmioSeek would count as a call.
             const auto bufferPosition = [handle] {
                 MMIOINFO info{};
                 EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
                 return info.lBufOffset + static_cast<LONG>(info.pchNext - info.pchBuffer);
             };
             const LONG before = bufferPosition();
             const bool ok = mmioSeek(handle, before + 1, SEEK_SET) == before + 1;
             EXPECT_EQ(bufferPosition(), ok ? before + 1 : before);
             return ok;
         }},
    };
}

TEST_F(Mmio, InjectedFailuresFollowTheirPlan) {
    struct Plan {
        const char* name;
        int times;
        int successesFirst;
        std::vector<bool> outcomes;  // of consecutive calls
    };
    const std::vector<Plan> plans = {
        {"next call", 1, 0, {false, true, true}},
        {"next two calls", 2, 0, {false, false, true}},
        {"after two successes", 1, 2, {true, true, false, true}},
        {"forever", platform::mmioFailForever, 0, {false, false, false, false}},
        {"none", 0, 0, {true, true}},
    };
    const std::string bytes = RiffBuilder().chunk("test", "abc").build();
    for (const auto& fault : faultCases()) {
        for (const auto& plan : plans) {
            SCOPED_TRACE(std::string(fault.name) + ", " + plan.name);
            platform::reset();
            HMMIO handle = open(bytes);
            platform::failMmioCall(fault.call, plan.times, plan.successesFirst);
            for (std::size_t i = 0; i < plan.outcomes.size(); ++i) {
                EXPECT_EQ(fault.attempt(handle), plan.outcomes[i]) << "call " << i + 1;
            }
        }
    }
}

TEST_F(Mmio, ResetAndClearForgetInjectedFailures) {
    HMMIO handle = open("RIFF");
    platform::failMmioCall(MmioCall::seek, platform::mmioFailForever);
    EXPECT_EQ(mmioSeek(handle, 1, SEEK_SET), -1);
    platform::clearMmioFaults();
    EXPECT_EQ(mmioSeek(handle, 1, SEEK_SET), 1);

    platform::failMmioCall(MmioCall::getInfo, platform::mmioFailForever);
    platform::reset();
    handle = open("RIFF");
    MMIOINFO info{};
    EXPECT_EQ(mmioGetInfo(handle, &info, 0), MMSYSERR_NOERROR);
}

}  // namespace
}  // namespace kob::test
