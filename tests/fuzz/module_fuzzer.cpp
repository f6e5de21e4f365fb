// The module driven by arbitrary sequences of what its world can do: control
// values (commands, pans, fractions, NaN), stop requests, volume values,
// pauses, sound-state changes, renders, lost buffers, failing DirectSound and
// mmio calls, and services in any order (setup, shutdown and update again).
// Six slots: sounds at three formats, a missing file, a file that is no WAV,
// and one whose data chunk claims more bytes than the file holds.
//
// Every input starts from a fresh module (module_state.h) and a reset
// platform, and ends with shutdown, so that what the module owns is given up.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "audio/slot_buffers.h"
#include "fuzz_files.h"
#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"
#include "kob_platform/mmio_control.h"
#include "module/linkage.h"
#include "module/service_id.h"
#include "module_state.h"
#include "panel_host.h"
#include "wav_builder.h"

namespace {

constexpr int slotCount = 6;

std::string iniPath;
alignas(8) std::array<unsigned char, 8192> simulatorMemory{};

void writeFile(const std::string& name, const std::string& bytes) {
    kob::fuzz::writeScratchFile(name, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void writeSounds() {
    using kob::test::WaveFormat;
    const auto mono = WaveFormat::pcm(1, 44100, 16);
    const auto stereo = WaveFormat::pcm(2, 22050, 16);
    const auto bytes8 = WaveFormat::pcm(1, 11025, 8);
    writeFile("s0.wav", kob::test::wavFile(mono, kob::test::toneSamples(mono, 3000)));
    writeFile("s1.wav", kob::test::wavFile(stereo, kob::test::toneSamples(stereo, 1000)));
    writeFile("s2.wav", kob::test::wavFile(bytes8, kob::test::toneSamples(bytes8, 501)));
    writeFile("s4.wav", "this is no wave file");
    writeFile("s5.wav", kob::test::RiffBuilder()
                            .fmt(mono)
                            .data(kob::test::toneSamples(mono, 50), {.declaredSize = 100000})
                            .build());
    const std::string& folder = kob::fuzz::scratchFolder();
    std::string ini = "[Config]\nMaxSounds=6\nErrorFlag=-1\n[Sounds]\n";
    const char* levels[] = {",100", ",50", "", "", ",0", ",150"};
    for (int i = 0; i < slotCount; ++i)
        ini += "Sound0" + std::to_string(i) + "=" + folder + "/s" + std::to_string(i) + ".wav" + levels[i] + "\n";
    writeFile("kob.ini", ini);
    iniPath = folder + "/kob.ini";
}

// Reads the input front to back; past its end every read gives 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | byte();
        return v;
    }
    double value() {
        static const double special[] = {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL, 1e12, -3e9,
                                         -1, 0.5, 1.9, -1.9, 99.99, 100, -100, 0, -0.0, 2147483647.5, -2147483648.9};
        const std::uint8_t kind = byte();
        if (kind < 32) return special[kind % std::size(special)];
        if (kind < 64) {
            double d = 0;
            std::uint64_t bits = static_cast<std::uint64_t>(u32()) << 32 | u32();
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        // A command and a pan, positive or negative.
        const int command = byte() % 100;
        const auto pan = static_cast<double>(u32() % 30000);
        const double v = 100.0 * (kind & 1 ? pan : 0.0) + command;
        return kind & 2 ? -v : v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

const char* slotVariable(int i) {
    static const char* names[] = {"kob_xml_id_00", "kob_xml_id_01", "kob_xml_id_02",
                                  "kob_xml_id_03", "kob_xml_id_04", "kob_xml_id_05"};
    return names[i];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    writeSounds();
    kob::fuzz::snapshotModuleState();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace platform = kob::platform;
    kob::fuzz::restoreModuleState();
    platform::reset();
    platform::setSleepVirtual(true);

    Input in(data, size);
    std::int32_t soundState = 1;
    std::memcpy(simulatorMemory.data() + 2848, &soundState, sizeof soundState);
    if (in.byte() % 4 != 0) platform::registerModule("GLOBAL.DLL", {{"Linkage", simulatorMemory.data()}});

    kob::host::PanelHost host;
    host.recording = false;
    for (auto& entry : ImportTable.entries)
        if (entry.id == 0x0F) entry.pointer = host.services();
    if (Linkage.moduleInit) Linkage.moduleInit();
    kob::GaugeHeader& gauge = *Linkage.gaugeTable[0];
    gauge.parameterString = iniPath.c_str();
    // A second setup replaces the device without releasing the first, as
    // designed; the host gives those up at the end so they are not leaks.
    std::vector<IDirectSound*> replacedDevices;
    const auto service = [&](std::int32_t id) {
        if (id == kob::ServiceId::setup && kob::AudioDevice) replacedDevices.push_back(kob::AudioDevice);
        gauge.callback(&gauge, id, 0);
    };
    const auto update = [&] {
        host.advanceFrame(1.0 / 18.0);
        service(kob::ServiceId::update);
    };
    service(kob::ServiceId::setup);
    service(kob::ServiceId::configure);
    service(kob::ServiceId::registerVariables);

    bool paused = false;
    std::vector<float> output;
    for (int step = 0; step < 4000 && !in.empty(); ++step) {
        switch (in.byte() % 12) {
            case 0: host.set(slotVariable(in.byte() % slotCount), in.value()); break;
            case 1: host.set("kob_stop_sounds", in.value()); break;
            case 2: host.set("kob_vorlo_volume", in.value()); break;
            case 3: host.setPaused(paused = !paused); break;
            case 4:
                soundState = static_cast<std::int32_t>(in.u32() % 4 == 0 ? in.u32() : in.byte() % 3);
                std::memcpy(simulatorMemory.data() + 2848, &soundState, sizeof soundState);
                break;
            case 5: update(); break;
            case 6:
                output.assign(2 * (std::size_t{in.byte()} * 16), 0.0f);
                platform::render(output);
                break;
            case 7: {
                static const HRESULT codes[] = {E_FAIL, DSERR_BUFFERLOST, DSERR_INVALIDCALL, E_OUTOFMEMORY};
                const auto call = static_cast<platform::AudioCall>(in.byte() % 9);
                const HRESULT code = codes[in.byte() % std::size(codes)];
                platform::failAudioCalls(call, code, in.byte() % 4 + 1u, in.byte() % 10);
                break;
            }
            case 8: {
                const std::uint8_t restores = in.byte();
                platform::loseBuffer(in.byte() % 10, restores > 250 ? 300u : restores % 4u);
                break;
            }
            case 9:
                platform::failMmioCall(static_cast<platform::MmioCall>(in.byte() % 5), in.byte() % 3 + 1,
                                       in.byte() % 8);
                break;
            case 10: {
                static const std::int32_t services[] = {2, 3, 4, 6, 15, 5, 7, 14, -1};
                service(services[in.byte() % std::size(services)]);
                break;
            }
            case 11:
                for (int n = in.byte() % 8; n >= 0; --n) update();
                break;
        }
    }

    service(kob::ServiceId::shutdown);
    for (IDirectSound* device : replacedDevices) device->Release();
    if (Linkage.moduleDeinit) Linkage.moduleDeinit();
    platform::reset();
    return 0;
}
