#include "module_on_panel.h"

#include <cstring>
#include <stdexcept>

#include "kob_platform/audio_control.h"
#include "kob_platform/control.h"
#include "module/service_id.h"

namespace kob::bench {
namespace {

std::string twoDigits(int index) { return (index < 10 ? "0" : "") + std::to_string(index); }

}  // namespace

ModuleOnPanel::ModuleOnPanel() {
    platform::reset();
    platform::setSleepVirtual(true);
    platform::setAudioCallLogging(false);
    // Sound on (state 1), time of day 7.
    const std::int32_t soundOn = 1;
    std::memcpy(simulatorMemory_.data() + 2848, &soundOn, sizeof soundOn);
    simulatorMemory_[4446] = 7;
    simulatorModule_ = platform::registerModule("GLOBAL.DLL", {{"Linkage", simulatorMemory_.data()}});

    host_ = std::make_unique<host::PanelHost>();
    host_->recording = false;
    module_ = std::make_unique<host::LoadedModule>(KOB_TESTABLE_MODULE, host_->services(),
                                                   host::LoadedModule::Options{.freshCopy = true});
    auto accessFn = reinterpret_cast<const test::ModuleTestAccess* (*)()>(module_->symbol("kobModuleTestAccess"));
    if (!accessFn) throw std::runtime_error("the test build of the module lacks its test access");
    access_ = accessFn();
}

ModuleOnPanel::~ModuleOnPanel() {
    module_->service(ServiceId::shutdown);
    module_.reset();
    host_.reset();
    platform::reset();
}

void ModuleOnPanel::start(int slotCount, const std::vector<std::string>& wavPaths) {
    std::string ini = "[Config]\nMaxSounds=" + std::to_string(slotCount) + "\n[Sounds]\n";
    for (int i = 0; i < slotCount; ++i) {
        const std::string path = static_cast<std::size_t>(i) < wavPaths.size()
                                     ? wavPaths[static_cast<std::size_t>(i)]
                                     : (dir_.path() / ("missing_" + twoDigits(i) + ".wav")).string();
        ini += "Sound" + twoDigits(i) + "=" + path + "\n";
    }
    parameter_ = dir_.write("kob.ini", ini).string();
    GaugeHeader& gauge = module_->soundGauge();
    gauge.parameterString = parameter_.c_str();
    module_->service(ServiceId::setup);
    module_->service(ServiceId::configure);
    module_->service(ServiceId::registerVariables);
}

void ModuleOnPanel::update() {
    host_->advanceFrame(frameSeconds);
    GaugeHeader& gauge = module_->soundGauge();
    gauge.callback(&gauge, ServiceId::update, 0);
}

}  // namespace kob::bench
