// The user's locale for the tests: ":" and "/" unless a test sets others.
#pragma once

#include <atomic>

#include "platform/platform.h"

namespace kelvora::platform::memory {

class MemoryLocale final : public Locale {
public:
    DateTimeSeparators Separators() override {
        reads.fetch_add(1);
        return separators;
    }

    // Set before the work that reads them starts.
    DateTimeSeparators separators;
    // How often Separators() was asked.
    std::atomic<int> reads{0};
};

}  // namespace kelvora::platform::memory
