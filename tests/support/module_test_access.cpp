#include "module_test_access.h"

#include "config/read_configuration.h"

extern "C" __attribute__((visibility("default"))) const kob::test::ModuleTestAccess* kobModuleTestAccess() {
    static const kob::test::ModuleTestAccess access = {
        &kob::gaugeState,
        kob::SlotTable,
        kob::readConfiguration,
    };
    return &access;
}
