// The scan benchmark on the real registry and file system (run under Wine,
// pinned to one CPU with wineserver, by tools/bench.sh). Wine's registry is
// a single file that wineserver rewrites whole, and each registry call is a
// round trip to wineserver, so the default shapes are a tenth of the native
// ones: 20,000 keys and 100,000 values (one level of 2,000), 10,000 files in
// 1,000 folders. Optional arguments: a scale factor relative to the native
// shapes (default 0.1) and the number of pairs of a scan and a bare walk
// (default 8).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/win32_platform_win.h"
#include "support/scan_bench_run.h"

int main(int argc, char** argv) {
    using namespace kelvora;
    const double scale = argc > 1 ? std::atof(argv[1]) : 0.1;
    const int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 8;
    platform::win32::Win32Platform win32;

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string scratch = std::string(temp) + "KelvoraBench";
    const char* const key = "Software\\KelvoraBench";
    auto cleanUp = [&] {
        RegDeleteTreeA(HKEY_CURRENT_USER, key);
        bench::RemoveFolders(win32.files, scratch);
    };
    cleanUp();
    win32.files.CreateFolder(scratch);
    win32.files.CreateFolder(scratch + "\\Program");

    bench::ScanBenchConfig config;
    config.root = platform::kCurrentUser;
    config.keyPath = key;
    config.folderPath = win32.files.LongPathName(scratch) + "\\Data";
    config.programFolder = win32.files.LongPathName(scratch + "\\Program");
    config.registryShape.keys = static_cast<std::size_t>(200000 * scale);
    config.registryShape.values = static_cast<std::size_t>(1000000 * scale);
    config.registryShape.wideLevel = static_cast<std::size_t>(20000 * scale);
    config.folderShape.folders = static_cast<std::size_t>(10000 * scale);
    config.folderShape.files = static_cast<std::size_t>(100000 * scale);
    config.pairs = pairs;
    std::printf("Scan benchmark, Windows registry and file system (scale %.2f)\n", scale);
    bench::RunScanBench(win32.registry, win32.files, config);
    win32.files.SetCurrentDir(temp);
    cleanUp();
    return 0;
}
