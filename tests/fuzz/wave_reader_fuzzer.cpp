// The wave reader on arbitrary bytes: the input becomes a file, which the
// module's WaveFile opens, reads in pieces, rewinds and reads again, through
// the portable mmio calls.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "audio/wave_file.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = kob::fuzz::writeScratchFile("input.wav", data, size);

    auto* wave = new kob::WaveFile();
    if (SUCCEEDED(wave->open(path.c_str()))) {
        // The format record holds 18 + cbSize bytes (18 for PCM): touch them all.
        const WAVEFORMATEX* format = wave->format;
        const std::size_t formatBytes = 18 + (format->wFormatTag == WAVE_FORMAT_PCM ? 0 : format->cbSize);
        volatile std::uint8_t sum = 0;
        for (std::size_t i = 0; i < formatBytes; ++i) sum = static_cast<std::uint8_t>(sum + reinterpret_cast<const std::uint8_t*>(format)[i]);

        // Reads of varying sizes until the chunk is exhausted or a read fails;
        // the declared size may run far past the file, so the rounds are bounded.
        static std::array<BYTE, 65536> destination;
        for (int pass = 0; pass < 2; ++pass) {
            DWORD request = 1;
            for (int round = 0; round < 64; ++round) {
                DWORD delivered = 0;
                const DWORD count = std::min<DWORD>(request, destination.size());
                if (FAILED(wave->read(count, destination.data(), &delivered)) || delivered == 0) break;
                if (delivered > count) __builtin_trap();  // never more than asked for
                request = request * 3 + 7;
            }
            wave->seekToData();
        }
    }
    delete wave;
    return 0;
}
