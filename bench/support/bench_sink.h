// Stand-ins for the scan's surroundings in the benchmarks: a worker that is
// never stopped (and keeps no state, so any number of threads may ask it), a
// progress that shows nothing, and a changes list that keeps every record in
// the order it arrives (the registry measures the comparison without the
// tree's cost).
#pragma once

#include <string>
#include <vector>

#include "scan/base_scan_thread.h"
#include "scan/change_sink.h"
#include "worker/worker_control.h"

namespace kelvora::bench {

class RunningWorker : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

class SilentProgress : public IScanProgress {
public:
    void ShowStatus(const std::string&) override {}
    void StepProgress() override {}
};

class ChangeList : public IChangeSink {
public:
    std::vector<TNodeData> records;

    void AddToTree(std::string_view, std::string_view name, TNodeData&& record) override {
        record.Name.assign(name);
        records.push_back(std::move(record));
    }
    std::size_t Count(std::int32_t kind) const {
        std::size_t n = 0;
        for (const TNodeData& record : records) n += record.Kind == kind ? 1 : 0;
        return n;
    }
};

}  // namespace kelvora::bench
