// The simulator's "GLOBAL.DLL", as far as a gauge module sees it: its
// "Linkage" export is the memory holding the sound state (+2848) and the time
// of day (+4446). kob-bench loads it from beside itself and writes there.
#include <cstdint>

extern "C" {
alignas(8) std::uint8_t Linkage[8192] = {};
}
