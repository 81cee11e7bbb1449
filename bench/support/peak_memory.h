#pragma once

#include <cstddef>

namespace kelvora::bench {

// The most memory the process has held at once (resident set or working set).
std::size_t PeakMemoryBytes();

}  // namespace kelvora::bench
