#include "module_fixture.h"

#include "kob_platform/control.h"
#include "module/service_id.h"

namespace kob::test {

void ModuleFixture::SetUp() {
    platform::reset();
    platform::setSleepVirtual(true);
    host = std::make_unique<host::PanelHost>();
    module_ = std::make_unique<host::LoadedModule>(KOB_TESTABLE_MODULE, host->services(),
                                                   host::LoadedModule::Options{.freshCopy = true});
    auto accessFn = reinterpret_cast<const ModuleTestAccess* (*)()>(module_->symbol("kobModuleTestAccess"));
    ASSERT_NE(accessFn, nullptr) << "the test build of the module lacks its test access";
    access_ = accessFn();
}

void ModuleFixture::TearDown() {
    // The simulator ends a gauge's life before it unloads the module; so the
    // device and buffers the test left are given up, not leaked.
    // Slots a test loaded through the inner operations, without marking them
    // loaded, are released the same way.
    if (module_ && access_) {
        service(ServiceId::shutdown);
        for (std::uint16_t slot = 0; slot < slotBufferCount; ++slot) access_->releaseSlot(slot);
        access_->releaseAudioDevice();
    }
    module_.reset();
    host.reset();
    platform::reset();
}

void ModuleFixture::startWithParameter(const std::string& parameter) {
    parameter_ = parameter;
    module_->soundGauge().parameterString = parameter_.c_str();
    service(ServiceId::setup);
    service(ServiceId::configure);
    service(ServiceId::registerVariables);
}

void ModuleFixture::startWithIni(const std::string& iniText) {
    startWithParameter(dir.write("kob.ini", iniText).string());
}

}  // namespace kob::test
