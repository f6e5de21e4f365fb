// WAV files of every shape the wave reader may meet: PCM of several sample
// sizes, other formats with extra bytes, chunks in odd places and sizes that
// lie, for comparing mmio implementations.
#pragma once

#include <string>
#include <vector>

namespace kob::test::wine {

struct WaveCorpusFile {
    std::string name;
    std::string bytes;
};

std::vector<WaveCorpusFile> waveCorpus();

}  // namespace kob::test::wine
