// The parallel scan under Wine on the real registry and file system, at full
// size, NOT pinned to a CPU (tools/bench.sh runs it without taskset, and
// wineserver on both CPUs too): the first scan and the rescan (ExecuteScan,
// ExecuteRescan) of HKEY_LOCAL_MACHINE, HKEY_USERS, the Windows and the
// Program Files folders with several workers and with one, each paired with
// the bare walks of the same parts one after the other on one thread.
// Bench data fill the registry up to 110,000 keys and 424,000 values in both
// roots (what the prefix has counts), split 3:1 between
// HKLM\Software\KelvoraBench and HKU\.DEFAULT\Software\KelvoraBench, and
// put 30,000 files in 3,000 folders into Program Files\KelvoraBench.
//
// Arguments:
//   [scale] [pairs] [workers]  scale of the added data (default 1), pairs
//                              (default 8), workers (default 4)
//   tree [scale] [pairs] [workers]
//                              a tree of 200,000 files in 20,000 folders
//                              outside the program's folder, scanned as the
//                              only "other" folder, no registry
//   peak scan|rescan|idle workers full|tree
//                              (used by the benchmark itself) one scan in a
//                              fresh process, its peak working set in KiB as
//                              the exit code
// Everything added is removed at the end, and first, after an interrupted run.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win32_platform_win.h"
#include "scan/folder_scan.h"
#include "support/bare_walk.h"
#include "support/bench_timing.h"
#include "support/full_scan_rounds.h"
#include "support/peak_memory.h"

namespace {

using namespace kelvora;
using namespace kelvora::bench;

constexpr double kTargetKeys = 110000;
constexpr double kTargetValues = 424000;
const char* const kMachineKey = "Software\\KelvoraBench";
const char* const kUsersKey = ".DEFAULT\\Software\\KelvoraBench";

struct Places {
    std::string programFolder;  // the scratch program folder (snapshots)
    std::string treeFolder;     // the tree of the "tree" mode
    std::string programFiles;   // the bench data in Program Files
    std::string scratch;
};

Places PlacesOf(platform::win32::Win32Platform& win32) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Places places;
    win32.files.CreateFolder(std::string(temp) + "KelvoraParallelBench");
    places.scratch = win32.files.LongPathName(std::string(temp) + "KelvoraParallelBench");
    places.programFolder = places.scratch + "\\Program";
    places.treeFolder = places.scratch + "\\Tree";
    const std::vector<std::string> programFiles = GetProgramFilesDirs(win32.registry);
    places.programFiles = (programFiles.empty() ? "C:\\Program Files" : programFiles[0]) + "\\KelvoraBench";
    return places;
}

void CleanUp(platform::FileSystem& files, const Places& places) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey);
    RegDeleteTreeA(HKEY_USERS, kUsersKey);
    RemoveFolders(files, places.programFiles);
    RemoveFolders(files, places.scratch);
}

// The settings of the run as the program would have them: the chosen parts
// only, the program's folder excluded.
ScanConfig ConfigOf(platform::win32::Win32Platform& win32, const Places& places, bool tree) {
    ScanConfig config;
    config.ProgramFolder = places.programFolder;
    config.WindowsFolder = win32.files.WindowsFolder();
    config.SystemDriveRoot = config.WindowsFolder.substr(0, 2) + "\\";
    config.CurrentUserSid = win32.registry.CurrentUserSid();
    TSettings& s = config.Settings;
    s.ScanHKCR = s.ScanHKCU = s.ScanHKCC = s.ScanEntire = false;
    s.ScanHKLM = s.ScanHKUS = s.ScanWin = s.ScanProg = !tree;
    s.ScanOthers = tree;
    if (tree) s.ScanOtherPaths = places.treeFolder;
    s.ExcludedFolders.Add(UpperAscii(config.ProgramFolder));
    return config;
}

// One run in a fresh process (this program, "peak" mode): its peak working
// set.
std::size_t PeakOfChild(platform::win32::Win32Platform& win32, const std::string& arguments) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const platform::ProcessRun run = win32.shell.RunToEnd(self, arguments);
    return run.Started ? static_cast<std::size_t>(run.ExitCode) * 1024 : 0;
}

void ShowPeaks(platform::win32::Win32Platform& win32, FullScanRounds& rounds, const char* what,
               const std::vector<unsigned>& workers, const char* mode) {
    std::printf("  peak working set of this process so far: %.1f MB\n", Mb(PeakMemoryBytes()));
    std::printf("  peak working set of one %s in a fresh process:", what);
    for (const unsigned count : workers) {
        if (std::strcmp(what, "rescan") == 0) rounds.RestoreFirstScan();
        const std::string arguments = std::string("peak ") + what + " " + std::to_string(count) + " " + mode;
        std::printf(" %.1f MB (%u worker%s)", Mb(PeakOfChild(win32, arguments)), count, count == 1 ? "" : "s");
    }
    std::printf(", %.1f MB (doing nothing)\n", Mb(PeakOfChild(win32, "peak idle 1 full")));
}

int Peak(int argc, char** argv) {
    platform::win32::Win32Platform win32;
    if (argc < 5 || std::strcmp(argv[2], "idle") == 0) return static_cast<int>(PeakMemoryBytes() / 1024);
    const auto workers = static_cast<unsigned>(std::max(1, std::atoi(argv[3])));
    const bool tree = std::strcmp(argv[4], "tree") == 0;
    FullScanRounds rounds(win32.registry, win32.files, ConfigOf(win32, PlacesOf(win32), tree), {workers});
    if (std::strcmp(argv[2], "rescan") == 0) {
        rounds.Rescan(workers);
    } else {
        rounds.Scan(workers);
    }
    return static_cast<int>(PeakMemoryBytes() / 1024);
}

void Line(const char* what, double seconds) { std::printf("  %-44s %9.3f s\n", what, seconds); }

void FullSize(platform::win32::Win32Platform& win32, const Places& places, double scale, int pairs,
              const std::vector<unsigned>& workers) {
    const ScanConfig config = ConfigOf(win32, places, false);
    std::atomic<TWizardState> wizardState{TWizardState::wsScanning};
    RunningWorker worker;
    ScanEnv env{win32.registry, win32.files, config, wizardState, worker};
    Counts prefix;
    for (const platform::RootKey root : {platform::kLocalMachine, platform::kUsers}) {
        const Counts counts = BareKeyWalk(env, root, {});
        prefix.keys += counts.keys;
        prefix.values += counts.values;
    }
    // The data added: what the prefix lacks of the full size, scaled, 3:1.
    const double keys = std::max(0.0, kTargetKeys - static_cast<double>(prefix.keys)) * scale;
    const double values = std::max(0.0, kTargetValues - static_cast<double>(prefix.values)) * scale;
    RegistryShape machine;
    machine.keys = static_cast<std::size_t>(std::ceil(keys * 0.75));
    machine.values = static_cast<std::size_t>(std::ceil(values * 0.75));
    machine.wideLevel = machine.keys / 10;
    RegistryShape users;
    users.keys = static_cast<std::size_t>(std::ceil(keys * 0.25));
    users.values = static_cast<std::size_t>(std::ceil(values * 0.25));
    users.wideLevel = users.keys / 10;
    FolderShape folders;
    folders.folders = static_cast<std::size_t>(3000 * scale);
    folders.files = static_cast<std::size_t>(30000 * scale);
    std::printf("The prefix holds %zu keys and %zu values in HKLM and HKU; added: %zu keys, %zu values below "
                "HKLM\\%s, %zu keys, %zu values below HKU\\%s, %zu files in %zu folders in %s\n",
                prefix.keys, prefix.values, machine.keys, machine.values, kMachineKey, users.keys, users.values,
                kUsersKey, folders.files, folders.folders, places.programFiles.c_str());
    Line("fill HKLM", Seconds([&] { FillRegistry(win32.registry, platform::kLocalMachine, kMachineKey, machine); }));
    Line("fill HKU", Seconds([&] { FillRegistry(win32.registry, platform::kUsers, kUsersKey, users); }));
    Line("fill the folders", Seconds([&] { FillFolders(win32.files, places.programFiles, folders); }));

    FullScanRounds rounds(win32.registry, win32.files, config, workers);
    rounds.ShowParts();
    rounds.FirstScans(pairs);
    ShowPeaks(win32, rounds, "scan", workers, "full");
    Line("change 1% of the bench data", Seconds([&] {
             ChangeRegistry(win32.registry, platform::kLocalMachine, kMachineKey, machine, 1.0);
             ChangeRegistry(win32.registry, platform::kUsers, kUsersKey, users, 1.0);
             ChangeFolders(win32.files, places.programFiles, folders, 1.0);
         }));
    rounds.Rescans(pairs);
    ShowPeaks(win32, rounds, "rescan", workers, "full");
}

void Tree(platform::win32::Win32Platform& win32, const Places& places, double scale, int pairs,
          const std::vector<unsigned>& workers) {
    FolderShape shape;
    shape.folders = static_cast<std::size_t>(20000 * scale);
    shape.files = static_cast<std::size_t>(200000 * scale);
    std::printf("A tree of %zu files in %zu folders in %s, scanned as the only other folder\n", shape.files,
                shape.folders, places.treeFolder.c_str());
    Line("fill", Seconds([&] { FillFolders(win32.files, places.treeFolder, shape); }));
    FullScanRounds rounds(win32.registry, win32.files, ConfigOf(win32, places, true), workers);
    rounds.ShowParts();
    rounds.FirstScans(pairs);
    ShowPeaks(win32, rounds, "scan", workers, "tree");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "peak") == 0) return Peak(argc, argv);
    const bool tree = argc > 1 && std::strcmp(argv[1], "tree") == 0;
    char** args = argv + (tree ? 2 : 1);
    const int count = argc - (tree ? 2 : 1);
    const double scale = count > 0 ? std::atof(args[0]) : 1.0;
    const int pairs = count > 1 ? std::max(1, std::atoi(args[1])) : 8;
    const auto many = static_cast<unsigned>(count > 2 ? std::max(1, std::atoi(args[2])) : 4);
    const std::vector<unsigned> workers = many == 1 ? std::vector<unsigned>{1} : std::vector<unsigned>{many, 1};

    // Each line as it comes: the full size takes a while.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    platform::win32::Win32Platform win32;
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask);
    std::printf("Parallel scan benchmark%s, Windows registry and file system (scale %.2f, %d pairs), wall clock; "
                "this process is not pinned (CPU mask %#llx of %#llx)\n",
                tree ? " on a folder tree" : "", scale, pairs, static_cast<unsigned long long>(processMask),
                static_cast<unsigned long long>(systemMask));
    const Places places = PlacesOf(win32);
    Line("clean up (a run cut short leaves its data)", Seconds([&] { CleanUp(win32.files, places); }));
    win32.files.CreateFolder(places.scratch);
    win32.files.CreateFolder(places.programFolder);
    if (tree) {
        Tree(win32, places, scale, pairs, workers);
    } else {
        FullSize(win32, places, scale, pairs, workers);
    }
    Line("clean up", Seconds([&] { CleanUp(win32.files, places); }));
    return 0;
}
