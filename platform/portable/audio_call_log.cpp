// The call log.
#include "audio_call_log.h"

#include <utility>

namespace kob::platform {

void AudioCallLog::add(std::string_view method, BufferId buffer, std::vector<std::int64_t> args, HRESULT result) {
    if (enabled_) records_.push_back({method, buffer, std::move(args), result});
}

}  // namespace kob::platform
