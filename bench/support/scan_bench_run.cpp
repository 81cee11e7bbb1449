#include "support/scan_bench_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

#include "changes/changes_tree.h"
#include "scan/compare_folders.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/folder_scan.h"
#include "scan/folder_walk.h"
#include "scan/moved_files.h"
#include "scan/registry_scan.h"
#include "scan/registry_walk.h"
#include "scan/snapshot_loader.h"
#include "settings/app_context.h"
#include "support/bench_sink.h"
#include "support/peak_memory.h"

namespace kelvora::bench {

namespace {

// Walks that store nothing: the same platform calls as the scans.
struct NullKeyVisitor {
    std::size_t keys = 0;
    std::size_t values = 0;
    void BeginKey(std::string_view, std::string_view, bool, std::uint64_t) { ++keys; }
    void Value(std::string_view, std::string_view, std::uint32_t, const std::uint8_t*, std::int32_t) { ++values; }
    void EndKey() {}
};
struct NullFolderVisitor {
    std::size_t folders = 0;
    std::size_t files = 0;
    void Folder(std::string_view, bool) { ++folders; }
    void File(std::string_view, std::string_view, const std::uint8_t (&)[8]) { ++files; }
};

// Natively everything runs in this process, so its processor time is the
// measure that other load on the machine disturbs least. On Windows the
// registry's work is partly done elsewhere (by wineserver under Wine), so
// there the wall clock is used.
double Now() {
#ifdef _WIN32
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
#endif
}

double Seconds(const std::function<void()>& work) {
    const double start = Now();
    work();
    return Now() - start;
}

double Best(int repeats, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) best = std::min(best, Seconds(work));
    return best;
}

double Mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void Line(const char* what, double seconds) { std::printf("  %-44s %9.3f s\n", what, seconds); }
void Ratio(const char* what, double value, double target) {
    std::printf("  %-44s %9.3f   (target <= %.2f)%s\n", what, value, target, value <= target ? "" : "  MISSED");
}

void RegistryBench(platform::Registry& registry, platform::FileSystem& files, ScanEnv& env,
                   const ScanBenchConfig& config) {
    std::printf("Registry: %zu keys, %zu values planned (one level of %zu), below %s\n",
                config.registryShape.keys, config.registryShape.values, config.registryShape.wideLevel,
                config.keyPath.c_str());
    Counts made;
    Line("fill", Seconds([&] { made = FillRegistry(registry, config.root, config.keyPath, config.registryShape); }));

    NullKeyVisitor counted;
    auto bareWalk = [&] {
        counted = {};
        RegistryWalk<NullKeyVisitor> walk(registry, config.root, env.config, env.worker, counted);
        walk.Walk(config.keyPath, {});
    };
    // As the first scan does it: the records go to the file as the walk goes.
    std::size_t fileSize = 0;
    auto scan = [&] {
        TDBTree dbTree = TDBTree::CreateStreaming(files, config.programFolder, "HKLM");
        ScanKey(env, config.root, config.keyPath, dbTree);
        dbTree.Save(files);
        fileSize = dbTree.Size();
    };
    // Interleaved, so that both see the same state of caches and clocks.
    double bare = 1e300;
    double first = 1e300;
    for (int i = 0; i < config.repeats; ++i) {
        bare = std::min(bare, Seconds(bareWalk));
        first = std::min(first, Seconds(scan));
    }
    std::printf("  walked %zu keys, %zu values\n", counted.keys, counted.values);
    Line("bare walk (stores nothing)", bare);
    Line("first scan (ScanKey, written as it walks)", first);
    std::printf("  %-44s %9.1f MB\n", "snapshot file", Mb(fileSize));

    SnapshotTree oldTree;
    Line("load snapshot", Seconds([&] { oldTree = LoadSnapshot(files, config.programFolder, "HKLM", env.wizardState, env.worker); }));
    std::printf("  %-44s %9.1f MB (%.2f x file)\n", "snapshot tree in memory", Mb(oldTree.BytesReserved()),
                static_cast<double>(oldTree.BytesReserved()) / static_cast<double>(fileSize));

    Line("change 1% of keys and values",
         Seconds([&] { ChangeRegistry(registry, config.root, config.keyPath, config.registryShape, 1.0); }));
    const double bareAfter = Best(config.repeats, bareWalk);
    Line("bare walk after the changes", bareAfter);

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
    double read = 0;
    double compare = 0;
    read = Seconds([&] { newTree = ReadKey(env, config.root, nodeName, config.keyPath); });
    compare = Seconds([&] {
        CompareKeys(env, changes, newTree.Root, oldNode, parentPath, config.root, false);
        CompareKeys(env, changes, oldNode, newTree.Root, parentPath, config.root, true);
    });
    Line("rescan: ReadKey", read);
    Line("rescan: CompareKeys, both passes", compare);
    std::printf("  changes: %zu keys created, %zu deleted, values %zu created, %zu changed, %zu deleted\n",
                changes.Count(ckRegKeyCreated), changes.Count(ckRegKeyDeleted), changes.Count(ckRegValueCreated),
                changes.Count(ckRegValueChanged), changes.Count(ckRegValueDeleted));
    Ratio("first scan / bare walk", first / bare, 1.10);
    Ratio("rescan with comparison / bare walk", (read + compare) / bareAfter, 1.15);
    Ratio("tree in memory / snapshot file", static_cast<double>(oldTree.BytesReserved()) / static_cast<double>(fileSize),
          2.0);
    std::printf("  %-44s %9.1f MB\n", "both trees of the rescan", Mb(oldTree.BytesReserved() + newTree.BytesReserved()));
}

void FolderBench(platform::FileSystem& files, ScanEnv& env, const ScanBenchConfig& config) {
    std::printf("Folders: %zu folders, %zu files planned, below %s\n", config.folderShape.folders,
                config.folderShape.files, config.folderPath.c_str());
    Line("fill", Seconds([&] { FillFolders(files, config.folderPath, config.folderShape); }));

    NullFolderVisitor counted;
    auto bareWalk = [&] {
        counted = {};
        FolderWalk<NullFolderVisitor> walk(files, env.config.Settings.ExcludedFolders, env.worker, counted);
        walk.Walk(config.folderPath);
    };
    std::size_t fileSize = 0;
    auto scan = [&](const char* name) {
        TDBTree dbTree = TDBTree::CreateStreaming(files, config.programFolder, name);
        ScanFolder(env, config.folderPath, dbTree);
        dbTree.Save(files);
        fileSize = dbTree.Size();
    };
    double bare = 1e300;
    double first = 1e300;
    for (int i = 0; i < config.repeats; ++i) {
        bare = std::min(bare, Seconds(bareWalk));
        first = std::min(first, Seconds([&] { scan("FIS1"); }));
    }
    std::printf("  walked %zu folders, %zu files\n", counted.folders, counted.files);
    Line("bare walk (stores nothing)", bare);
    Line("first scan (ScanFolder into the snapshot, saved)", first);
    std::printf("  %-44s %9.1f MB\n", "snapshot file", Mb(fileSize));

    Line("change 1% of the files",
         Seconds([&] { ChangeFolders(files, config.folderPath, config.folderShape, 1.0); }));
    const double bareAfter = Best(config.repeats, bareWalk);
    Line("bare walk after the changes", bareAfter);
    const double rescan = Seconds([&] { scan("FIS2"); });
    Line("rescan (ScanFolder, saved)", rescan);

    ChangesTree tree(env.config.Settings);
    tree.StartFill(false);
    ChangesTreeSink changes(tree);
    SnapshotTree oldTree;
    SnapshotTree newTree;
    const double load = Seconds([&] {
        oldTree = LoadSnapshot(files, config.programFolder, "FIS1", env.wizardState, env.worker);
        newTree = LoadSnapshot(files, config.programFolder, "FIS2", env.wizardState, env.worker);
    });
    const double compare = Seconds([&] {
        CompareFolders(env, changes, newTree.Root, oldTree.Root, {}, false);
        CompareFolders(env, changes, oldTree.Root, newTree.Root, {}, true);
    });
    const double moved = Seconds([&] { DetectMoved(env, tree); });
    Line("load both snapshots", load);
    Line("CompareFolders, both passes, into the changes tree", compare);
    Line("DetectMoved", moved);
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
    Ratio("first scan / bare walk", first / bare, 1.10);
    Ratio("rescan with comparison / bare walk", (rescan + load + compare + moved) / bareAfter, 1.15);
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
