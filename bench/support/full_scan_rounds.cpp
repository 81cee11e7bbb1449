#include "support/full_scan_rounds.h"

#include <cstdio>

#include "changes/changes_tree.h"
#include "scan/folder_scan.h"
#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "support/bare_walk.h"

namespace kelvora::bench {

namespace {

// The leaves of the changes tree (the changes it holds).
std::size_t CountChanges(ChangesTree& tree) {
    const ChangesTree::Access access = tree.Lock();
    std::size_t count = 0;
    std::vector<NodeId> pending{access.Root()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        if (IsStoredKind(access.Data(node).Kind)) ++count;
        for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
            pending.push_back(child);
        }
    }
    return count;
}

// The folder targets of the settings, in the order ScanFileSystem walks
// them (the targets here are full paths already).
std::vector<std::string> FolderTargets(platform::Registry& registry, const ScanConfig& config) {
    const TSettings& settings = config.Settings;
    std::vector<std::string> targets;
    if (settings.ScanEntire) {
        targets.push_back(config.SystemDriveRoot);
    } else {
        if (settings.ScanWin) targets.push_back(config.WindowsFolder);
        if (settings.ScanProg) {
            for (const std::string& folder : GetProgramFilesDirs(registry)) targets.push_back(folder);
        }
    }
    if (settings.ScanOthers) {
        std::string_view rest = settings.ScanOtherPaths;
        while (!rest.empty()) {
            const std::size_t cut = rest.find(';');
            if (cut == 0) break;
            targets.emplace_back(rest.substr(0, cut));
            rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        }
    }
    return targets;
}

}  // namespace

std::string FullScanRounds::WorkersText(const Run& run) {
    return std::to_string(run.config.Workers) + (run.config.Workers == 1 ? " worker" : " workers");
}

FullScanRounds::FullScanRounds(platform::Registry& registry, platform::FileSystem& files, const ScanConfig& config,
                               const std::vector<unsigned>& workers)
    : files_(files) {
    for (const unsigned count : workers) {
        runs_.emplace_back(config, count, registry, files, wizardState_, worker_);
    }
    ScanEnv& env = runs_.front().env;
    for (const RegistryCategory& category : kRegistryCategories) {
        if (!(config.Settings.*category.Setting)) continue;
        const platform::RootKey root = category.Root;
        parts_.push_back({std::string(category.BaseName), true, [&env, root] { return BareKeyWalk(env, root, {}); }});
    }
    for (const std::string& target : FolderTargets(registry, config)) {
        parts_.push_back({target, false, [&env, target] { return BareFolderWalk(env, target); }});
    }
    partTimes_.resize(parts_.size());
}

FullScanRounds::Run& FullScanRounds::RunOf(unsigned workers) {
    for (Run& run : runs_) {
        if (run.config.Workers == workers) return run;
    }
    return runs_.front();
}

void FullScanRounds::ShowParts() {
    std::printf("Parts of the scan (bare walks, one after the other on one thread):\n");
    for (const Part& part : parts_) {
        Counts counts;
        const double seconds = Seconds([&] { counts = part.walk(); });
        std::printf("  %-40s %8zu %s, %8zu %s  (%.3f s)\n", part.name.c_str(), counts.keys,
                    part.registry ? "keys   " : "folders", counts.values, part.registry ? "values" : "files ", seconds);
    }
}

void FullScanRounds::Scan(unsigned workers) { ExecuteScan(RunOf(workers).env, progress_); }

std::size_t FullScanRounds::Rescan(unsigned workers) {
    Run& run = RunOf(workers);
    ChangesTree tree(run.config.Settings);
    tree.StartFill(false);
    ExecuteRescan(run.env, progress_, tree, [&](std::string_view name) {
        return LoadSnapshot(files_, run.config.ProgramFolder, name, wizardState_, worker_);
    });
    return CountChanges(tree);
}

void FullScanRounds::ShowPair(const Times& times) const {
    double registry = 0;
    double folders = 0;
    for (std::size_t p = 0; p < parts_.size(); ++p) (parts_[p].registry ? registry : folders) += partTimes_[p].back();
    std::printf("  pair %2zu: bare walks %8.3f s (registry %7.3f, folders %7.3f)", times[0].size(), times[0].back(),
                registry, folders);
    for (std::size_t w = 0; w < runs_.size(); ++w) {
        const double seconds = times[w + 1].back();
        std::printf(" | %s %8.3f s = %.3f", WorkersText(runs_[w]).c_str(), seconds, seconds / times[0].back());
    }
    std::printf("\n");
    std::fflush(stdout);
}

void FullScanRounds::Measured(const char* what, int rounds, const std::vector<Measure>& measures) {
    const std::size_t first = partTimes_[0].size();  // these rounds' bare walks among all
    const Times times = PairedRounds(rounds, measures, [this](const Times& sofar) { ShowPair(sofar); });
    std::vector<double> registry(times[0].size());
    std::vector<double> folders(times[0].size());
    std::printf("  medians of %zu:", times[0].size());
    for (std::size_t p = 0; p < parts_.size(); ++p) {
        const std::vector<double> part(partTimes_[p].begin() + static_cast<std::ptrdiff_t>(first), partTimes_[p].end());
        for (std::size_t r = 0; r < part.size(); ++r) (parts_[p].registry ? registry : folders)[r] += part[r];
        std::printf(" %s %.3f s,", parts_[p].name.c_str(), SpreadOf(part).median);
    }
    std::printf(" registry %.3f s, folders %.3f s, bare walks %.3f s\n", SpreadOf(registry).median,
                SpreadOf(folders).median, SpreadOf(times[0]).median);
    for (std::size_t w = 0; w < runs_.size(); ++w) {
        const Spread ratio = SpreadOf(Ratios(times[w + 1], times[0]));
        std::printf("  %s, %s / sum of bare walks: median %.3f (%.3f-%.3f), %.3f s\n", what,
                    WorkersText(runs_[w]).c_str(), ratio.median, ratio.low, ratio.high, SpreadOf(times[w + 1]).median);
    }
}

Measure FullScanRounds::BareWalks() {
    return {[this] {
        for (std::size_t p = 0; p < parts_.size(); ++p) partTimes_[p].push_back(Seconds([&] { parts_[p].walk(); }));
    }};
}

void FullScanRounds::FirstScans(int rounds) {
    std::vector<Measure> measures{BareWalks()};
    for (const Run& run : runs_) {
        const unsigned workers = run.config.Workers;
        measures.push_back({[this, workers] { Scan(workers); }});
    }
    std::printf("First scan (ExecuteScan) against the bare walks, %d pairs, order alternated:\n", rounds);
    Measured("first scan", rounds, measures);
    std::vector<std::string> snapshots{"FIS2"};
    for (const RegistryCategory& category : kRegistryCategories) {
        if (runs_.front().config.Settings.*category.Setting) snapshots.emplace_back(category.BaseName);
    }
    firstScan_.Keep(files_, runs_.front().config.ProgramFolder, snapshots);
    std::printf("  snapshot files of a first scan: %.1f MB\n", Mb(firstScan_.Bytes()));
}

void FullScanRounds::Rescans(int rounds) {
    std::vector<Measure> measures{BareWalks()};
    std::vector<std::size_t> found(runs_.size());
    for (std::size_t w = 0; w < runs_.size(); ++w) {
        const unsigned workers = runs_[w].config.Workers;
        measures.push_back(
            {[this, workers, &found, w] { found[w] = Rescan(workers); }, [this] { RestoreFirstScan(); }});
    }
    std::printf("Rescan (ExecuteRescan, into a changes tree) against the bare walks, %d pairs, order alternated:\n",
                rounds);
    Measured("rescan", rounds, measures);
    std::printf("  changes found:");
    for (std::size_t w = 0; w < runs_.size(); ++w) {
        std::printf(" %zu (%s)", found[w], WorkersText(runs_[w]).c_str());
    }
    std::printf("\n");
}

}  // namespace kelvora::bench
