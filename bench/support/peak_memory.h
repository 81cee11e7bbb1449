#pragma once

#include <cstddef>

namespace kelvora::bench {

// The most memory the process has held at once (resident set or working set).
std::size_t PeakMemoryBytes();

// Gives freed memory back to the system and starts counting the peak anew
// from what the process holds now. False where the peak cannot be reset
// (Windows): PeakMemoryBytes then stays the peak of the whole run.
bool ResetPeakMemory();

// The bytes the heap holds for the program right now (natively: what
// malloc has handed out; on Windows: the private working set).
std::size_t HeapBytesInUse();

}  // namespace kelvora::bench
