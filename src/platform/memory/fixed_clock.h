// A clock that stands still until a test moves it.
#pragma once

#include "platform/platform.h"

#include <atomic>

namespace kelvora::platform::memory {

class FixedClock final : public Clock {
public:
    // 1 March 2023, 12:00 unless told otherwise.
    explicit FixedClock(double now = 44986.5) : now_(now) {}

    double Now() override { return now_.load(); }
    void Set(double now) { now_.store(now); }
    void Advance(double days) { now_.fetch_add(days); }

private:
    std::atomic<double> now_;
};

}  // namespace kelvora::platform::memory
