// The scan benchmark on the in-memory platform: the full-size shapes (a
// registry subtree of 200,000 keys and 1,000,000 values, 100,000 files in
// 10,000 folders). Optional arguments: a scale factor for the shapes and the
// number of pairs of a scan and a bare walk (default 8).
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/memory/memory_platform.h"
#include "support/scan_bench_run.h"

int main(int argc, char** argv) {
    using namespace kelvora;
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 8;
    platform::memory::MemoryPlatform memory;
    memory.files.AddFolder("C:\\Kelvora");

    bench::ScanBenchConfig config;
    config.root = platform::kLocalMachine;
    config.keyPath = "SOFTWARE\\KelvoraBench";
    config.folderPath = "C:\\Data";
    config.programFolder = "C:\\Kelvora";
    config.registryShape.keys = static_cast<std::size_t>(200000 * scale);
    config.registryShape.values = static_cast<std::size_t>(1000000 * scale);
    config.registryShape.wideLevel = static_cast<std::size_t>(20000 * scale);
    config.folderShape.folders = static_cast<std::size_t>(10000 * scale);
    config.folderShape.files = static_cast<std::size_t>(100000 * scale);
    config.pairs = pairs;
    std::printf("Scan benchmark, in-memory platform (scale %.2f)\n", scale);
    bench::RunScanBench(memory.registry, memory.files, config);
    return 0;
}
