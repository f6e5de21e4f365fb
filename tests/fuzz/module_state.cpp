#include "module_state.h"

#include <cstring>
#include <vector>

#include "audio/slot_buffers.h"
#include "config/sound_slot.h"
#include "debugger/debugger_gauge.h"
#include "module/gauge_state.h"
#include "module/linkage.h"

namespace kob::fuzz {
namespace {

struct StaticObject {
    void* address;
    std::size_t size;
    std::vector<unsigned char> saved;
};

template <typename T>
StaticObject object(T& value) {
    return {static_cast<void*>(&value), sizeof value, {}};
}

std::vector<StaticObject>& objects() {
    static std::vector<StaticObject> all{
        object(gaugeState),          object(SlotTable),           object(AudioDevice),
        object(slotBuffers),         object(slotWaves),           object(slotBufferBytes),
        object(::Linkage),           object(::ImportTable),       object(soundGaugeHeader),
        object(soundGaugeImage),     object(debuggerGaugeHeader), object(debuggerRootImage),
        object(debuggerNumberLine),  object(debuggerVariableLine), object(debuggerFileLine),
        object(debuggerMouseAreas),
    };
    return all;
}

}  // namespace

void snapshotModuleState() {
    for (auto& o : objects()) {
        const auto* bytes = static_cast<const unsigned char*>(o.address);
        o.saved.assign(bytes, bytes + o.size);
    }
}

void restoreModuleState() {
    for (auto& o : objects()) std::memcpy(o.address, o.saved.data(), o.size);
}

}  // namespace kob::fuzz
