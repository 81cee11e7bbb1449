// The scan benchmark, the same on every platform: builds the data, then
// measures the bare walks (the platform's own limit), the first scans, the
// rescans with their comparisons, the snapshot sizes and the memory used.
// Each scan is paired with a bare walk (in alternating order) and the times
// and ratios are the medians of the pairs.
#pragma once

#include <string>

#include "platform/platform.h"
#include "support/bench_data.h"

namespace kelvora::bench {

struct ScanBenchConfig {
    platform::RootKey root = platform::kLocalMachine;
    std::string keyPath;           // the registry subtree to fill and scan
    std::string folderPath;        // the folder to fill and scan
    std::string programFolder;     // where the snapshot files go
    RegistryShape registryShape;
    FolderShape folderShape;
    int pairs = 8;                 // pairs of a scan and a bare walk
};

void RunScanBench(platform::Registry& registry, platform::FileSystem& files, const ScanBenchConfig& config);

}  // namespace kelvora::bench
