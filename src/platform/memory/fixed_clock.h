// A clock that stands still until a test moves it.
#pragma once

#include "platform/platform.h"

#include <atomic>
#include <cstdint>

namespace kelvora::platform::memory {

class FixedClock final : public Clock {
public:
    // 1 March 2023, 12:00 unless told otherwise.
    explicit FixedClock(double now = 44986.5) : now_(now) {}

    double Now() override { return now_.load(); }
    void Set(double now) { now_.store(now); }
    void Advance(double days) { now_.fetch_add(days); }
    // 0 (unknown) until set.
    std::uint64_t FileTimeNow() override { return fileTime_.load(); }
    void SetFileTime(std::uint64_t fileTime) { fileTime_.store(fileTime); }

private:
    std::atomic<double> now_;
    std::atomic<std::uint64_t> fileTime_{0};
};

}  // namespace kelvora::platform::memory
