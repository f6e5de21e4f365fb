// Reads WAV files with the module's own wave reader (WaveFile) and walks
// their chunks with the mmio calls directly, writing down every result:
// result codes, chunk records, the format record with its extra bytes, and
// hashes of the sample bytes read in whole and in parts. Built for Windows
// (the system's mmio) and natively (the portable mmio), so the two can be
// compared.
//
// wave_probe OUTPUT FILE...
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "audio/wave_file.h"
#include "kob_platform/win32.h"
#include "probe_output.h"

namespace {

using kob::probe::escaped;

std::string hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string fourcc(FOURCC code) {
    const char bytes[4] = {static_cast<char>(code & 0xFF), static_cast<char>((code >> 8) & 0xFF),
                           static_cast<char>((code >> 16) & 0xFF), static_cast<char>((code >> 24) & 0xFF)};
    return escaped(std::string_view(bytes, 4));
}

std::string chunk(const MMCKINFO& ck) {
    return "{" + fourcc(ck.ckid) + " size=" + std::to_string(ck.cksize) + " type=" + fourcc(ck.fccType) +
           " at=" + std::to_string(ck.dwDataOffset) + " flags=" + hex32(ck.dwFlags) + "}";
}

std::uint64_t fnv1a(const BYTE* bytes, std::size_t count) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ull;
    return hash;
}

std::string hash(const std::vector<BYTE>& bytes) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(fnv1a(bytes.data(), bytes.size())));
    return text;
}

// The format record as the reader returns it: 18 bytes, then cbSize extra
// bytes for formats other than PCM.
std::string formatRecord(const WAVEFORMATEX* format) {
    if (!format) return "none";
    const std::size_t extra = format->wFormatTag == WAVE_FORMAT_PCM ? 0 : format->cbSize;
    const auto* bytes = reinterpret_cast<const char*>(format);
    std::string out;
    for (std::size_t i = 0; i < sizeof(WAVEFORMATEX) + extra; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(bytes[i]));
        out += hex;
    }
    return out;
}

// Reads the data in requests of the given sizes (the last repeated) until a
// read fails, gives nothing, or the chunk says nothing is left.
void readInParts(kob::probe::Output& out, kob::WaveFile& wave, const std::vector<DWORD>& sizes) {
    std::vector<BYTE> all;
    for (std::size_t i = 0; i < 64; ++i) {
        const DWORD request = sizes[i < sizes.size() ? i : sizes.size() - 1];
        std::vector<BYTE> bytes(request, 0xEE);
        DWORD count = 0xDEAD;
        const HRESULT result = wave.read(request, bytes.data(), &count);
        bytes.resize(SUCCEEDED(result) && count <= request ? count : 0);
        all.insert(all.end(), bytes.begin(), bytes.end());
        out.line("  read " + std::to_string(request) + " -> " + hex32(static_cast<std::uint32_t>(result)) +
                 " count=" + std::to_string(count) + " left=" + std::to_string(wave.dataChunk.cksize) +
                 " hash=" + hash(bytes));
        if (FAILED(result) || count == 0 || wave.dataChunk.cksize == 0) break;
    }
    out.line("  total " + std::to_string(all.size()) + " hash=" + hash(all));
}

void probeWaveFile(kob::probe::Output& out, const char* path) {
    kob::WaveFile wave;
    const HRESULT opened = wave.open(path);
    out.line(" open " + hex32(static_cast<std::uint32_t>(opened)) + " format=" + formatRecord(wave.format) +
             " riff=" + chunk(wave.riffChunk) + " data=" + chunk(wave.dataChunk));
    if (FAILED(opened)) return;
    // Odd sizes, then one larger than the read buffer, then large ones.
    readInParts(out, wave, {7, 1, 8195, 100000});
    // Reading once everything is taken.
    DWORD count = 0xDEAD;
    BYTE spare[16] = {};
    const HRESULT after = wave.read(sizeof spare, spare, &count);
    out.line("  read past end -> " + hex32(static_cast<std::uint32_t>(after)) + " count=" + std::to_string(count));
    const HRESULT rewound = wave.seekToData();
    out.line(" rewind " + hex32(static_cast<std::uint32_t>(rewound)) + " data=" + chunk(wave.dataChunk));
    if (SUCCEEDED(rewound)) readInParts(out, wave, {wave.dataChunk.cksize});
}

// The chunks as mmioDescend and mmioAscend see them, one level below RIFF.
void probeChunks(kob::probe::Output& out, const char* path) {
    HMMIO handle = mmioOpenA(const_cast<LPSTR>(path), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!handle) {
        out.line(" mmioOpen failed");
        return;
    }
    MMCKINFO riff = {};
    MMRESULT result = mmioDescend(handle, &riff, nullptr, 0);
    out.line(" descend " + std::to_string(result) + " " + chunk(riff) + " at " +
             std::to_string(mmioSeek(handle, 0, SEEK_CUR)));
    for (int i = 0; result == 0 && i < 16; ++i) {
        MMCKINFO inner = {};
        result = mmioDescend(handle, &inner, &riff, 0);
        out.line("  descend " + std::to_string(result) + " " + chunk(inner));
        if (result != 0) break;
        const MMRESULT ascended = mmioAscend(handle, &inner, 0);
        out.line("  ascend " + std::to_string(ascended) + " at " + std::to_string(mmioSeek(handle, 0, SEEK_CUR)));
    }
    const LONG fileSize = mmioSeek(handle, 0, SEEK_END);
    for (FOURCC wanted : {kob::dataChunkId, mmioFOURCC('L', 'I', 'S', 'T')}) {
        MMCKINFO found = {};
        found.ckid = wanted;
        const LONG from = mmioSeek(handle, 12, SEEK_SET);
        const MMRESULT searched = mmioDescend(handle, &found, nullptr, MMIO_FINDCHUNK);
        // A failed search leaves the four bytes after the last header as the
        // form type; past the end of the file they are whatever was in memory.
        if (searched != 0 && static_cast<LONG>(found.dwDataOffset) + 4 > fileSize) found.fccType = 0;
        out.line(" find " + fourcc(wanted) + " from " + std::to_string(from) + " -> " + std::to_string(searched) +
                 " " + chunk(found) + " at " + std::to_string(mmioSeek(handle, 0, SEEK_CUR)));
    }
    const LONG end = mmioSeek(handle, 0, SEEK_END);
    char byte = 0;
    const LONG readAtEnd = mmioRead(handle, &byte, 1);
    out.line(" end " + std::to_string(end) + " read " + std::to_string(readAtEnd) + " close " +
             std::to_string(mmioClose(handle, 0)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wave_probe OUTPUT FILE...\n");
        return 2;
    }
    kob::probe::Output out(argv[1]);
    if (!out.isOpen()) {
        std::fprintf(stderr, "wave_probe: cannot write %s\n", argv[1]);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        out.line(escaped(argv[i]));
        probeWaveFile(out, argv[i]);
        probeChunks(out, argv[i]);
    }
    return 0;
}
