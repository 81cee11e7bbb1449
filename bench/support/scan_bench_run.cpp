#include "support/scan_bench_run.h"

#include <cstdio>
#include <optional>

#include "changes/changes_tree.h"
#include "scan/compare_folders.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/folder_scan.h"
#include "scan/moved_files.h"
#include "scan/registry_scan.h"
#include "scan/snapshot_loader.h"
#include "settings/app_context.h"
#include "support/bare_walk.h"
#include "support/bench_sink.h"
#include "support/bench_timing.h"
#include "support/peak_memory.h"
#include "support/snapshot_copies.h"

namespace kelvora::bench {

namespace {

void Line(const char* what, double seconds) { std::printf("  %-44s %9.3f s\n", what, seconds); }
void Ratio(const char* what, const std::vector<double>& ratios, double target) {
    const Spread spread = SpreadOf(ratios);
    std::printf("  %-44s %9.3f   (%.3f-%.3f, target <= %.2f)%s\n", what, spread.median, spread.low, spread.high,
                target, spread.median <= target ? "" : "  MISSED");
}
void Ratio(const char* what, double value, double target) {
    std::printf("  %-44s %9.3f   (target <= %.2f)%s\n", what, value, target, value <= target ? "" : "  MISSED");
}
double Median(const std::vector<double>& samples) { return SpreadOf(samples).median; }

void RegistryBench(platform::Registry& registry, platform::FileSystem& files, ScanEnv& env,
                   const ScanBenchConfig& config) {
    std::printf("Registry: %zu keys, %zu values planned (one level of %zu), below %s\n",
                config.registryShape.keys, config.registryShape.values, config.registryShape.wideLevel,
                config.keyPath.c_str());
    Line("fill", Seconds([&] { FillRegistry(registry, config.root, config.keyPath, config.registryShape); }));

    Counts counted;
    auto bareWalk = [&] { counted = BareKeyWalk(env, config.root, config.keyPath); };
    // As the first scan does it: the records go to the file as the walk goes.
    std::size_t fileSize = 0;
    auto scan = [&] {
        TDBTree dbTree = TDBTree::CreateStreaming(files, config.programFolder, "HKLM");
        ScanKey(env, config.root, config.keyPath, dbTree);
        dbTree.Save(files);
        fileSize = dbTree.Size();
    };
    const auto firstRounds = PairedRounds(config.pairs, {{bareWalk}, {scan}});
    std::printf("  walked %zu keys, %zu values\n", counted.keys, counted.values);
    Line("bare walk (stores nothing)", Median(firstRounds[0]));
    Line("first scan (ScanKey, written as it walks)", Median(firstRounds[1]));
    std::printf("  %-44s %9.1f MB\n", "snapshot file", Mb(fileSize));

    SnapshotTree oldTree;
    Line("load snapshot", Seconds([&] { oldTree = LoadSnapshot(files, config.programFolder, "HKLM", env.wizardState, env.worker); }));
    std::printf("  %-44s %9.1f MB (%.2f x file)\n", "snapshot tree in memory", Mb(oldTree.BytesReserved()),
                static_cast<double>(oldTree.BytesReserved()) / static_cast<double>(fileSize));

    Line("change 1% of keys and values",
         Seconds([&] { ChangeRegistry(registry, config.root, config.keyPath, config.registryShape, 1.0); }));

    // The snapshot's records carry the key's full path, so the loaded tree
    // holds the path's components below its (empty) root.
    const TNode* oldNode = oldTree.Root;
    std::string parentPath;
    for (std::size_t start = 0; oldNode != nullptr && start <= config.keyPath.size();) {
        std::size_t cut = config.keyPath.find('\\', start);
        if (cut == std::string::npos) cut = config.keyPath.size();
        const std::string_view component = std::string_view(config.keyPath).substr(start, cut - start);
        oldNode = oldNode->FirstChild;
        while (oldNode != nullptr && oldNode->Name() != component) oldNode = oldNode->NextSibling;
        if (cut < config.keyPath.size()) parentPath = config.keyPath.substr(0, cut);
        start = cut + 1;
    }
    const std::string nodeName = config.keyPath.substr(parentPath.empty() ? 0 : parentPath.size() + 1);
    ChangeList changes;
    SnapshotTree newTree;
    std::vector<double> read;
    std::vector<double> compare;
    auto rescan = [&] {
        read.push_back(Seconds([&] { newTree = ReadKey(env, config.root, nodeName, config.keyPath); }));
        compare.push_back(Seconds([&] {
            CompareKeys(env, changes, newTree.Root, oldNode, parentPath, config.root, false);
            CompareKeys(env, changes, oldNode, newTree.Root, parentPath, config.root, true);
        }));
    };
    // The last rescan's tree is freed before the next one is read, as a
    // single rescan would hold it.
    auto freshRescan = [&] {
        changes.records.clear();
        newTree = {};
    };
    const auto rescanRounds = PairedRounds(config.pairs, {{bareWalk}, {rescan, freshRescan}});
    Line("bare walk after the changes", Median(rescanRounds[0]));
    Line("rescan: ReadKey", Median(read));
    Line("rescan: CompareKeys, both passes", Median(compare));
    std::printf("  changes: %zu keys created, %zu deleted, values %zu created, %zu changed, %zu deleted\n",
                changes.Count(ckRegKeyCreated), changes.Count(ckRegKeyDeleted), changes.Count(ckRegValueCreated),
                changes.Count(ckRegValueChanged), changes.Count(ckRegValueDeleted));
    std::printf("  ratios: median (range) of %d pairs, their order alternated\n", config.pairs);
    Ratio("first scan / bare walk", Ratios(firstRounds[1], firstRounds[0]), 1.10);
    Ratio("rescan with comparison / bare walk", Ratios(rescanRounds[1], rescanRounds[0]), 1.15);
    Ratio("tree in memory / snapshot file", static_cast<double>(oldTree.BytesReserved()) / static_cast<double>(fileSize),
          2.0);
    std::printf("  %-44s %9.1f MB\n", "both trees of the rescan", Mb(oldTree.BytesReserved() + newTree.BytesReserved()));
}

void FolderBench(platform::FileSystem& files, ScanEnv& env, const ScanBenchConfig& config) {
    std::printf("Folders: %zu folders, %zu files planned, below %s\n", config.folderShape.folders,
                config.folderShape.files, config.folderPath.c_str());
    Line("fill", Seconds([&] { FillFolders(files, config.folderPath, config.folderShape); }));

    Counts counted;
    auto bareWalk = [&] { counted = BareFolderWalk(env, config.folderPath); };
    std::size_t fileSize = 0;
    auto scan = [&](const char* name) {
        TDBTree dbTree = TDBTree::CreateStreaming(files, config.programFolder, name);
        ScanFolder(env, config.folderPath, dbTree);
        dbTree.Save(files);
        fileSize = dbTree.Size();
    };
    const auto firstRounds = PairedRounds(config.pairs, {{bareWalk}, {[&] { scan("FIS1"); }}});
    std::printf("  walked %zu folders, %zu files\n", counted.keys, counted.values);
    Line("bare walk (stores nothing)", Median(firstRounds[0]));
    Line("first scan (ScanFolder into the snapshot, saved)", Median(firstRounds[1]));
    std::printf("  %-44s %9.1f MB\n", "snapshot file", Mb(fileSize));

    Line("change 1% of the files",
         Seconds([&] { ChangeFolders(files, config.folderPath, config.folderShape, 1.0); }));
    // Every rescan compares against the same first scan.
    SnapshotCopies firstScan;
    firstScan.Keep(files, config.programFolder, {"FIS1"});
    ChangesTree tree(env.config.Settings);
    SnapshotTree oldTree;
    SnapshotTree newTree;
    std::vector<double> rescan;
    std::vector<double> load;
    std::vector<double> compare;
    std::vector<double> moved;
    auto rescanWithComparison = [&] {
        rescan.push_back(Seconds([&] { scan("FIS2"); }));
        load.push_back(Seconds([&] {
            oldTree = LoadSnapshot(files, config.programFolder, "FIS1", env.wizardState, env.worker);
            newTree = LoadSnapshot(files, config.programFolder, "FIS2", env.wizardState, env.worker);
        }));
        ChangesTreeSink changes(tree);
        compare.push_back(Seconds([&] {
            CompareFolders(env, changes, newTree.Root, oldTree.Root, {}, false);
            CompareFolders(env, changes, oldTree.Root, newTree.Root, {}, true);
        }));
        moved.push_back(Seconds([&] { DetectMoved(env, tree); }));
    };
    auto freshRescan = [&] {
        firstScan.Restore(files);
        oldTree = {};
        newTree = {};
        tree.StartFill(false);
    };
    const auto rescanRounds = PairedRounds(config.pairs, {{bareWalk}, {rescanWithComparison, freshRescan}});
    Line("bare walk after the changes", Median(rescanRounds[0]));
    Line("rescan (ScanFolder, saved)", Median(rescan));
    Line("load both snapshots", Median(load));
    Line("CompareFolders, both passes, into the changes tree", Median(compare));
    Line("DetectMoved", Median(moved));
    std::size_t counts[ckFileMovedTo + 1] = {};
    {
        const ChangesTree::Access access = tree.Lock();
        std::vector<NodeId> pending{access.FileSystem()};
        while (!pending.empty()) {
            const NodeId node = pending.back();
            pending.pop_back();
            const std::int32_t kind = access.Data(node).Kind;
            if (kind <= ckFileMovedTo) ++counts[kind];
            for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
                pending.push_back(child);
            }
        }
    }
    std::printf("  changes: files %zu created, %zu changed, %zu deleted, %zu moved\n", counts[ckFileCreated],
                counts[ckFileChanged], counts[ckFileDeleted], counts[ckFileMovedTo]);
    std::printf("  ratios: median (range) of %d pairs, their order alternated\n", config.pairs);
    Ratio("first scan / bare walk", Ratios(firstRounds[1], firstRounds[0]), 1.10);
    Ratio("rescan with comparison / bare walk", Ratios(rescanRounds[1], rescanRounds[0]), 1.15);
    std::printf("  %-44s %9.1f MB (%.2f x file)\n", "snapshot tree in memory", Mb(newTree.BytesReserved()),
                static_cast<double>(newTree.BytesReserved()) / static_cast<double>(fileSize));
}

}  // namespace

void RunScanBench(platform::Registry& registry, platform::FileSystem& files, const ScanBenchConfig& config) {
    AppContext context;
    ScanConfig scanConfig;
    scanConfig.ProgramFolder = config.programFolder;
    scanConfig.Settings.ExcludedFolders.Add(config.programFolder);
    RunningWorker worker;
    ScanEnv env{registry, files, scanConfig, context.WizardState, worker};

    RegistryBench(registry, files, env, config);
    std::printf("  %-44s %9.1f MB\n", "peak memory so far", Mb(PeakMemoryBytes()));
    FolderBench(files, env, config);
    std::printf("  %-44s %9.1f MB\n", "peak memory", Mb(PeakMemoryBytes()));
}

}  // namespace kelvora::bench
