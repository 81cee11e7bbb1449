#pragma once

#include "platform/platform.h"

namespace kelvora::platform::win32 {

// The local clock as the archives' date-time (days since 30 December 1899).
class Win32Clock final : public Clock {
public:
    double Now() override;
    std::uint64_t FileTimeNow() override;
};

}  // namespace kelvora::platform::win32
