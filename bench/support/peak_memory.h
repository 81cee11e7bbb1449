#pragma once

#include <cstddef>

namespace kelvora::bench {

// The most memory the process has held at once (resident set or working set).
std::size_t PeakMemoryBytes();

// The bytes the heap holds for the program right now (natively: what
// malloc has handed out; on Windows: the private working set).
std::size_t HeapBytesInUse();

}  // namespace kelvora::bench
