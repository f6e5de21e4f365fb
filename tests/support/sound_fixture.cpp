#include "sound_fixture.h"

#include <cstring>

#include "kob_platform/control.h"
#include "module/service_id.h"
#include "wav_builder.h"

namespace kob::test {

std::string SoundFixture::writeTone(const std::string& name, std::uint32_t frames) {
    const auto format = WaveFormat::pcm(1, 22050, 16);
    return dir.write(name, wavFile(format, toneSamples(format, frames, 440.0, 0.5))).string();
}

void SoundFixture::startWithSounds(const std::vector<std::string>& soundValues, const std::string& configLines) {
    std::string ini = "[Config]\nMaxSounds=" + std::to_string(soundValues.size()) + "\n" + configLines + "\n[Sounds]\n";
    for (std::size_t i = 0; i < soundValues.size(); ++i)
        ini += "Sound" + std::string(i < 10 ? "0" : "") + std::to_string(i) + "=" + soundValues[i] + "\n";
    startWithIni(ini);
}

void SoundFixture::simulatorPresent(std::int32_t soundState, std::uint8_t timeOfDay) {
    simulatorSoundState(soundState);
    simulatorMemory[4446] = timeOfDay;
    platform::registerModule("GLOBAL.DLL", {{"Linkage", simulatorMemory.data()}});
}

void SoundFixture::simulatorSoundState(std::int32_t soundState) {
    std::memcpy(simulatorMemory.data() + 2848, &soundState, sizeof soundState);
}

void SoundFixture::update() {
    host->advanceFrame(frameSeconds);
    service(ServiceId::update);
}

void SoundFixture::play(double seconds) {
    platform::render(static_cast<std::size_t>(seconds * platform::deviceRate()));
}

std::optional<platform::BufferId> SoundFixture::bufferId(int slot) const {
    const IDirectSoundBuffer* b = access().slotBuffers[slot];
    if (!b) return std::nullopt;
    return platform::bufferIdOf(b);
}

std::optional<platform::BufferInfo> SoundFixture::buffer(int slot) const {
    const auto id = bufferId(slot);
    if (!id) return std::nullopt;
    return platform::bufferInfo(*id);
}

std::vector<platform::AudioCallRecord> SoundFixture::calls(std::optional<int> slot) const {
    auto log = platform::audioCallLog();
    if (!slot) return log;
    std::vector<platform::AudioCallRecord> mine;
    const auto id = bufferId(*slot);
    for (const auto& call : log)
        if (id && call.buffer == *id) mine.push_back(call);
    return mine;
}

std::vector<std::string> SoundFixture::methods(std::optional<int> slot) const {
    std::vector<std::string> names;
    for (const auto& call : calls(slot)) names.emplace_back(call.method);
    return names;
}

}  // namespace kob::test
