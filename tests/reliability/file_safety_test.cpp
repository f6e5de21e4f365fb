// The files the module reads stay as they are, and a WAV file that changes,
// shrinks or disappears after its slot was loaded is read through the slot's
// open WaveFile as the module defines, without a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "kob_platform/audio_control.h"
#include "module/service_id.h"
#include "sound_fixture.h"
#include "wav_builder.h"

namespace kob::test {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// FNV-1a: a digest of a file's bytes.
std::uint64_t digest(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

class FileSafety : public SoundFixture {
protected:
    // Larger than the mmio read buffer (8 KiB), so that a refill reads the
    // file again instead of bytes still buffered.
    // Larger than the mmio read buffer (at most 1 MiB), so that a refill has to
    // go back to the file and cannot be served from what is buffered.
    static constexpr std::uint32_t frames = 700000;
    const WaveFormat format = WaveFormat::pcm(1, 44100, 16);

    std::string samples(double frequency) const { return toneSamples(format, frames, frequency, 0.4); }
    std::string writeSound(const std::string& name, const std::string& data) const {
        return dir.write(name, wavFile(format, data)).string();
    }
    std::vector<std::uint8_t> bufferBytes(int slot) const { return platform::bufferContents(*bufferId(slot)); }
    static std::vector<std::uint8_t> bytes(const std::string& s) { return {s.begin(), s.end()}; }

    // Loads slot 0 by playing it once, then stops it.
    void loadSlotZero() {
        command(0, 1);
        update();
        ASSERT_TRUE(buffer(0).has_value());
        command(0, 0);
        update();
    }
    // The system takes the buffer's memory; the next start restores and refills it.
    void loseAndLoop() {
        ASSERT_TRUE(platform::loseBuffer(*bufferId(0), 0));
        clearCalls();
        command(0, 2);
        update();
    }
};

TEST_F(FileSafety, EveryCommandLeavesTheIniAndWavFilesByteIdentical) {
    simulatorPresent(1);
    const std::string a = writeSound("a.wav", samples(440));
    const std::string b = writeSound("b.wav", samples(660));
    startWithSounds({a + ",80", b, dir.path().string() + "/missing.wav"}, "ErrorFlag=-1\nVolumeVar=vol\n");
    std::map<std::filesystem::path, std::uint64_t> before;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        before[entry.path()] = digest(contents(entry.path()));
    ASSERT_EQ(before.size(), 3u) << "kob.ini, a.wav and b.wav";

    // Every command, the global controls, a lost buffer's refill and shutdown.
    const std::vector<std::vector<double>> steps = {
        {1, 2, 1}, {1, 2, 1}, {101, -202, 2}, {3, 3, 3}, {4, 4, 4}, {0, 0, 0}, {2, 1, 0}, {99, 5, 0}};
    set("vol", 50);
    for (const auto& step : steps) {
        for (int i = 0; i < 3; ++i) command(i, step[static_cast<std::size_t>(i)]);
        update();
        play(0.1);
    }
    set("kob_stop_sounds", 1);
    update();
    host->setPaused(true);
    update();
    host->setPaused(false);
    update();
    platform::loseAllBuffers(1);
    command(0, 2);
    update();
    service(ServiceId::shutdown);

    for (const auto& [file, hash] : before)
        EXPECT_EQ(digest(contents(file)), hash) << file << " changed";
    std::size_t after = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++after;
    EXPECT_EQ(after, before.size()) << "no file was made";
}

TEST_F(FileSafety, ARefillAfterALossReadsTheChangedFile) {
    simulatorPresent(1);
    const std::string path = writeSound("a.wav", samples(440));
    startWithSounds({path});
    loadSlotZero();
    EXPECT_EQ(bufferBytes(0), bytes(samples(440)));

    writeSound("a.wav", samples(880));  // same size, other sound
    loseAndLoop();
    ASSERT_TRUE(buffer(0).has_value());
    EXPECT_TRUE(buffer(0)->playing);
    // Whatever the rewind finds still in the mmio read buffer (at most 1 MiB)
    // comes from the old sound, as buffered reading does on Windows too;
    // everything after it is read from the changed file.
    const auto refilled = bufferBytes(0);
    const auto changed = bytes(samples(880));
    ASSERT_EQ(refilled.size(), changed.size());
    constexpr std::size_t readBuffer = std::size_t{1} << 20;
    EXPECT_TRUE(std::equal(refilled.begin() + readBuffer, refilled.end(), changed.begin() + readBuffer))
        << "past the read buffer, the refill holds the changed file";
}

TEST_F(FileSafety, ARefillFromAShrunkFileFailsAndNothingPlays) {
    simulatorPresent(1);
    const std::string path = writeSound("a.wav", samples(440));
    startWithSounds({path});
    loadSlotZero();

    std::filesystem::resize_file(path, 44 + frames);  // half the data is gone
    loseAndLoop();
    EXPECT_FALSE(buffer(0)->playing) << "the refill failed, so the start did not happen";
    for (const auto& call : calls(0)) EXPECT_NE(call.method, "Play");
    EXPECT_EQ(slot(0).started, 1) << "a failed start is not noticed";

    // The failed read counted the whole chunk as read: the next fill reads
    // nothing, rewinds and succeeds; the one after reads the short file again
    // and fails, each without touching memory it should not.
    EXPECT_EQ(access().fillSlotBuffer(0), S_OK);
    EXPECT_EQ(access().fillSlotBuffer(0), E_FAIL);
    for (int i = 0; i < 4; ++i) {
        update();
        play(0.05);
    }
}

// On Linux a deleted file stays readable through a handle already open, so the
// refill still finds the sound. (Windows refuses to delete a file that is
// open, so there the file cannot disappear while its slot is loaded.)
TEST_F(FileSafety, ADeletedFileStaysReadableThroughTheOpenHandle) {
    simulatorPresent(1);
    const std::string path = writeSound("a.wav", samples(440));
    startWithSounds({path, path}, "ErrorFlag=-1\n");
    loadSlotZero();

    ASSERT_TRUE(std::filesystem::remove(path));
    loseAndLoop();
    EXPECT_EQ(bufferBytes(0), bytes(samples(440)));
    EXPECT_TRUE(buffer(0)->playing);

    command(1, 1);  // a slot not yet loaded finds the file missing
    update();
    EXPECT_EQ(slotValue(1), -1);
    EXPECT_FALSE(buffer(1).has_value());
}

}  // namespace
}  // namespace kob::test
