// A buffer's sample memory: zero-filled when taken, and for large buffers
// backed by huge pages where the system allows it, so that the first write
// into a buffer of many megabytes faults once per 2 MiB instead of per page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace kob::platform {

struct SampleMemoryFree {
    void operator()(std::uint8_t* bytes) const noexcept { std::free(bytes); }
};
using SampleMemory = std::unique_ptr<std::uint8_t[], SampleMemoryFree>;

// `bytes` zero bytes (at least one), or null when memory is short.
SampleMemory allocateZeroedSamples(std::size_t bytes) noexcept;

}  // namespace kob::platform
