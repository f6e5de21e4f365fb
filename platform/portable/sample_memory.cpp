#include "sample_memory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace kob::platform {
namespace {

// Below this, huge pages would mostly hold memory no one asked for.
constexpr std::size_t kHugePageWorthwhile = std::size_t{4} << 20;

}  // namespace

SampleMemory allocateZeroedSamples(std::size_t bytes) noexcept {
    // calloc takes large blocks straight from the system, already zero: no pass to clear them.
    SampleMemory memory(static_cast<std::uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1)));
    if (memory && bytes >= kHugePageWorthwhile) {
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const auto begin = (reinterpret_cast<std::uintptr_t>(memory.get()) + page - 1) / page * page;
        const auto end = (reinterpret_cast<std::uintptr_t>(memory.get()) + bytes) / page * page;
        // Only advice: where it is refused, ordinary pages serve as well.
        if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
    return memory;
}

}  // namespace kob::platform
