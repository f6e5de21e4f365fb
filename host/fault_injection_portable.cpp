#include "fault_injection.h"

#include <stdexcept>

#include "kob_platform/audio_control.h"

namespace kob::host {
namespace {

platform::BufferId bufferOf(const std::optional<int>& slot, const SlotActivity& activity) {
    if (!slot) return platform::kAnyBuffer;
    const auto buffer = activity.bufferOf(*slot);
    if (!buffer) throw std::runtime_error("slot " + std::to_string(*slot) + " has no buffer yet");
    return *buffer;
}

std::uint32_t platformCount(std::uint32_t count) {
    return count == event::kForeverCount ? platform::kForever : count;
}

}  // namespace

void applyFault(const event::Fault& fault, const SlotActivity& activity) {
    using Kind = event::Fault::Kind;
    using platform::AudioCall;
    const std::uint32_t count = platformCount(fault.count);
    switch (fault.kind) {
    case Kind::Lose:
        if (fault.slot) platform::loseBuffer(bufferOf(fault.slot, activity), count);
        else platform::loseAllBuffers(count);
        return;
    case Kind::CreateBuffer:
        platform::failAudioCalls(AudioCall::CreateOtherBuffer, DSERR_OUTOFMEMORY, count);
        return;
    case Kind::Play:
        platform::failAudioCalls(AudioCall::Play, DSERR_GENERIC, count, bufferOf(fault.slot, activity));
        return;
    case Kind::Lock:
        platform::failAudioCalls(AudioCall::Lock, DSERR_GENERIC, count, bufferOf(fault.slot, activity));
        return;
    case Kind::GetStatus:
        platform::failAudioCalls(AudioCall::GetStatus, DSERR_GENERIC, count, bufferOf(fault.slot, activity));
        return;
    case Kind::Restore:
        platform::failAudioCalls(AudioCall::Restore, DSERR_BUFFERLOST, count, bufferOf(fault.slot, activity));
        return;
    case Kind::Device:
        platform::failAudioCalls(AudioCall::DirectSoundCreate, DSERR_NODRIVER, count);
        return;
    case Kind::Cooperative:
        platform::failAudioCalls(AudioCall::SetCooperativeLevel, DSERR_GENERIC, count);
        return;
    case Kind::Clear:
        platform::clearAudioFaults();
        return;
    }
}

}  // namespace kob::host
