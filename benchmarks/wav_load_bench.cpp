// Loading a 64 MiB PCM WAV file into a slot (loadSlot: open, buffer, fill),
// against its floor: the same file, already in the page cache, read into new
// memory with one read() call.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "kob_platform/win32.h"
#include "module_on_panel.h"
#include "wav_builder.h"

namespace kob::bench {
namespace {

constexpr std::uint32_t kDataBytes = 64u << 20;

// One file for the whole run, read once so that it sits in the page cache.
const std::filesystem::path& bigWav() {
    static const test::TempDir dir;
    static const std::filesystem::path path = [] {
        const auto format = test::WaveFormat::pcm(2, 44100, 16);
        std::string samples(kDataBytes, '\0');
        std::uint32_t noise = 1;
        for (char& byte : samples) {
            noise = noise * 1664525u + 1013904223u;
            byte = static_cast<char>(noise >> 24);
        }
        const auto written = dir.write("big.wav", test::wavFile(format, samples));
        std::string back(std::filesystem::file_size(written), '\0');
        std::FILE* file = std::fopen(written.c_str(), "rb");
        if (file) {
            benchmark::DoNotOptimize(std::fread(back.data(), 1, back.size(), file));
            std::fclose(file);
        }
        return written;
    }();
    return path;
}

void BM_WavLoad(benchmark::State& state) {
    const std::string path = bigWav().string();
    ModuleOnPanel panel;
    const test::ModuleTestAccess& access = panel.access();
    if (FAILED(access.createAudioDevice())) {
        state.SkipWithError("no audio device");
        return;
    }
    for (auto _ : state) {
        const HRESULT result = access.loadSlot(0, path.c_str());
        state.PauseTiming();
        if (result != S_OK || access.slotBufferBytes[0] != kDataBytes) state.SkipWithError("loadSlot failed");
        access.releaseSlot(0);
        state.ResumeTiming();
    }
    access.releaseAudioDevice();
    state.SetBytesProcessed(state.iterations() * std::int64_t{kDataBytes});
}

void BM_WavLoadFloor(benchmark::State& state) {
    const std::filesystem::path& path = bigWav();
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        auto* memory = static_cast<char*>(std::malloc(size));
        const ssize_t got = memory && fd >= 0 ? ::read(fd, memory, size) : -1;
        ::close(fd);
        state.PauseTiming();
        if (got != static_cast<ssize_t>(size)) state.SkipWithError("one read() did not deliver the whole file");
        std::free(memory);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t{kDataBytes});
}

BENCHMARK(BM_WavLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WavLoadFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kob::bench
