// The log of device and buffer calls that tests assert on.
#pragma once

#include <initializer_list>
#include <vector>

#include "kob_platform/audio_control.h"

namespace kob::platform {

class AudioCallLog {
public:
    void add(std::string_view method, BufferId buffer, std::vector<std::int64_t> args, HRESULT result);
    // The same without making a vector while logging is off: buffers log
    // every call, and a long run switches logging off.
    void add(std::string_view method, BufferId buffer, std::initializer_list<std::int64_t> args, HRESULT result) {
        if (enabled_) records_.push_back({method, buffer, std::vector<std::int64_t>(args), result});
    }
    void clear() noexcept { records_.clear(); }
    void setEnabled(bool enabled) noexcept { enabled_ = enabled; }
    const std::vector<AudioCallRecord>& records() const noexcept { return records_; }

private:
    std::vector<AudioCallRecord> records_;
    bool enabled_ = true;
};

}  // namespace kob::platform
