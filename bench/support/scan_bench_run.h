// The scan benchmark, the same on every platform: builds the data, then
// measures the bare walks (the platform's own limit), the first scans, the
// rescans with their comparisons, the snapshot sizes and the memory used.
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
    int repeats = 3;               // each walk timed this often, best kept
};

void RunScanBench(platform::Registry& registry, platform::FileSystem& files, const ScanBenchConfig& config);

}  // namespace kelvora::bench
