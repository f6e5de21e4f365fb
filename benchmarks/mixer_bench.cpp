// The portable mixer against sox: 32 looping voices (22050 Hz mono 16-bit,
// each with its own volume and pan) rendered for 60 s into 44100 Hz stereo
// float, in blocks of 1024 frames as an audio device would ask for them.
//
// The peers, both resampling at sox's high quality (the same "HQ" setting the
// mixer uses) and writing 32-bit float stereo to /dev/null:
//   sox -m  mixes the 32 files with one volume each (it has no pan per input)
//   sox -M  merges them into 32 channels and remixes those into two with each
//           voice's volume and pan: the same sum the mixer makes
// Run with repetitions and random interleaving, so that the three alternate.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"
#include "kob_platform/win32.h"
#include "temp_dir.h"
#include "wav_builder.h"

extern char** environ;

namespace kob::bench {
namespace {

constexpr int kVoices = 32;
constexpr std::uint32_t kSourceRate = 22050;
constexpr std::uint32_t kSeconds = 60;
constexpr std::size_t kBlockFrames = 1024;

struct VoiceSetting {
    LONG volume;  // hundredths of a decibel
    LONG pan;
};

VoiceSetting settingOf(int voice) { return {-150 * voice, 625 * voice - 10000}; }

double amplitude(LONG hundredthsOfDecibel) { return std::pow(10.0, hundredthsOfDecibel / 2000.0); }

// Linear gains as the mixer applies them: pan lowers one side only.
double leftGain(VoiceSetting s) { return amplitude(s.volume) * (s.pan > 0 ? amplitude(-s.pan) : 1.0); }
double rightGain(VoiceSetting s) { return amplitude(s.volume) * (s.pan < 0 ? amplitude(s.pan) : 1.0); }

// The 32 voices' samples, and the same as WAV files: made once per run.
struct Voices {
    Voices() {
        const auto format = test::WaveFormat::pcm(1, kSourceRate, 16);
        for (int i = 0; i < kVoices; ++i) {
            samples.push_back(test::toneSamples(format, kSourceRate * kSeconds, 110.0 + 37.0 * i, 0.5));
            files.push_back(dir.write("voice" + std::to_string(i) + ".wav", test::wavFile(format, samples.back())).string());
        }
    }

    test::TempDir dir;
    std::vector<std::string> files;
    std::vector<std::string> samples;
};

const Voices& voices() {
    static const Voices made;
    return made;
}

void BM_Mixer(benchmark::State& state) {
    const Voices& v = voices();
    platform::reset();
    platform::setAudioCallLogging(false);
    IDirectSound* device = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr))) {
        state.SkipWithError("no device");
        return;
    }
    device->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
    std::vector<IDirectSoundBuffer*> buffers;
    for (int i = 0; i < kVoices; ++i) {
        const std::string& samples = v.samples[static_cast<std::size_t>(i)];
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = kSourceRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = kSourceRate * 2;
        DSBUFFERDESC description{};
        description.dwSize = sizeof description;
        description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_STATIC;
        description.dwBufferBytes = static_cast<DWORD>(samples.size());
        description.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        void* region = nullptr;
        DWORD bytes = 0;
        if (FAILED(device->CreateSoundBuffer(&description, &buffer, nullptr)) ||
            FAILED(buffer->Lock(0, description.dwBufferBytes, &region, &bytes, nullptr, nullptr, 0))) {
            state.SkipWithError("cannot make a voice");
            return;
        }
        std::memcpy(region, samples.data(), bytes);
        buffer->Unlock(region, bytes, nullptr, 0);
        buffer->SetVolume(settingOf(i).volume);
        buffer->SetPan(settingOf(i).pan);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(buffer);
    }

    std::vector<float> block(kBlockFrames * 2);
    const std::size_t blocks = std::size_t{platform::deviceRate()} * kSeconds / kBlockFrames;
    for (auto _ : state) {
        for (std::size_t b = 0; b < blocks; ++b) {
            platform::render(std::span<float>(block));
            benchmark::DoNotOptimize(block.data());
        }
    }
    for (IDirectSoundBuffer* buffer : buffers) buffer->Release();
    device->Release();
    platform::reset();
}

bool runSox(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, "sox", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Output: 44100 Hz stereo 32-bit float, high-quality resampling.
std::vector<std::string> soxOutput(std::vector<std::string> arguments) {
    for (const char* a : {"-t", "f32", "-r", "44100", "-c", "2", "/dev/null"}) arguments.emplace_back(a);
    return arguments;
}

void timeSox(benchmark::State& state, const std::vector<std::string>& arguments) {
    for (auto _ : state)
        if (!runSox(arguments)) state.SkipWithError("sox failed (is it installed?)");
}

void BM_SoxMix(benchmark::State& state) {
    const Voices& v = voices();
    std::vector<std::string> arguments{"sox", "-V1", "-m"};
    for (int i = 0; i < kVoices; ++i) {
        arguments.emplace_back("-v");
        arguments.push_back(std::to_string(amplitude(settingOf(i).volume)));
        arguments.push_back(v.files[static_cast<std::size_t>(i)]);
    }
    arguments = soxOutput(arguments);
    for (const char* a : {"rate", "-h"}) arguments.emplace_back(a);
    timeSox(state, arguments);
}

void BM_SoxMergeRemix(benchmark::State& state) {
    const Voices& v = voices();
    std::vector<std::string> arguments{"sox", "-V1", "-M"};
    for (const std::string& file : v.files) arguments.push_back(file);
    arguments = soxOutput(arguments);
    std::string left;
    std::string right;
    for (int i = 0; i < kVoices; ++i) {
        const std::string channel = std::to_string(i + 1);
        left += (i ? "," : "") + channel + "v" + std::to_string(leftGain(settingOf(i)));
        right += (i ? "," : "") + channel + "v" + std::to_string(rightGain(settingOf(i)));
    }
    for (const std::string& a : {std::string("remix"), left, right, std::string("rate"), std::string("-h")})
        arguments.push_back(a);
    timeSox(state, arguments);
}

BENCHMARK(BM_Mixer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_SoxMix)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_SoxMergeRemix)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace kob::bench
