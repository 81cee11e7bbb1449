// Whole scans measured against the platform's limit: paired rounds of the
// first scan (ExecuteScan) and the rescan (ExecuteRescan) at several worker
// counts, each against the bare walks of every part that the scan's
// settings choose, walked one after the other on one thread.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scan/scan_env.h"
#include "support/bench_data.h"
#include "support/bench_sink.h"
#include "support/bench_timing.h"
#include "support/snapshot_copies.h"

namespace kelvora::bench {

class FullScanRounds {
public:
    // config: the run's settings and folders; its Workers is replaced by
    // each of workers in turn.
    FullScanRounds(platform::Registry& registry, platform::FileSystem& files, const ScanConfig& config,
                   const std::vector<unsigned>& workers);

    // Walks every part once (untimed) and shows what each holds.
    void ShowParts();
    // Rounds of the bare walks against the first scan at each worker count.
    // The snapshots of the last first scan are kept for the rescans.
    void FirstScans(int rounds);
    // Rounds of the bare walks against the rescan at each worker count, each
    // rescan from the kept first scan.
    void Rescans(int rounds);
    // Writes the kept first scan's snapshots back.
    void RestoreFirstScan() const { firstScan_.Restore(files_); }

    // One scan or rescan at the given worker count.
    void Scan(unsigned workers);
    std::size_t Rescan(unsigned workers);  // answers the changes found

private:
    struct Part {
        std::string name;
        bool registry;
        std::function<Counts()> walk;
    };
    struct Run {
        Run(const ScanConfig& base, unsigned workers, platform::Registry& registry, platform::FileSystem& files,
            const std::atomic<TWizardState>& wizardState, IWorkerControl& worker)
            : config(base), env{registry, files, config, wizardState, worker} {
            config.Workers = workers;
        }
        ScanConfig config;
        ScanEnv env;
    };

    Run& RunOf(unsigned workers);
    static std::string WorkersText(const Run& run);  // "4 workers"
    // The bare walks of all parts, each part's time recorded.
    Measure BareWalks();
    // The rounds, each shown as it ends, then their medians.
    void Measured(const char* what, int rounds, const std::vector<Measure>& measures);
    void ShowPair(const Times& times) const;

    platform::FileSystem& files_;
    std::atomic<TWizardState> wizardState_{TWizardState::wsScanning};
    RunningWorker worker_;
    SilentProgress progress_;
    std::deque<Run> runs_;  // one per worker count; an env refers to its config
    std::vector<Part> parts_;
    std::vector<std::vector<double>> partTimes_;  // per part, one per bare walk of a round
    SnapshotCopies firstScan_;
};

}  // namespace kelvora::bench
