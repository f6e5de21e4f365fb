// The service ids the host passes to the gauge callback that the module acts on.
#pragma once

#include <cstdint>

namespace kob::ServiceId {

constexpr std::int32_t setup = 2;
constexpr std::int32_t configure = 3;
constexpr std::int32_t registerVariables = 4;
constexpr std::int32_t update = 6;
constexpr std::int32_t shutdown = 15;

}  // namespace kob::ServiceId
