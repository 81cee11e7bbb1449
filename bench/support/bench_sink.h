// Stand-ins for the scan's surroundings in the benchmarks: a worker that is
// never stopped, and a changes list that keeps every record in the order it
// arrives (the order in which the real tree's walk would meet the leaves).
#pragma once

#include <string>
#include <vector>

#include "scan/change_sink.h"
#include "scan/worker_control.h"

namespace kelvora::bench {

class RunningWorker : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

class ChangeList : public IChangeSink {
public:
    struct Leaf {
        std::string name;
        ChangeRecord record;
    };
    std::vector<Leaf> leaves;

    void AddToTree(std::string_view, std::string_view name, ChangeRecord&& record) override {
        leaves.push_back({std::string(name), std::move(record)});
    }
    void VisitFileSystemBranch(const std::function<bool(NodeView&)>& visit) override {
        for (Leaf& leaf : leaves) {
            if (leaf.record.Kind <= ckSharedCounterIncremented) continue;
            NodeView view{leaf.record.Kind, leaf.name, {leaf.record.OldData.data(), leaf.record.OldData.size()},
                          {leaf.record.NewData.data(), leaf.record.NewData.size()}};
            if (!visit(view)) return;
        }
    }
    std::size_t Count(std::int32_t kind) const {
        std::size_t n = 0;
        for (const Leaf& leaf : leaves) n += leaf.record.Kind == kind ? 1 : 0;
        return n;
    }
};

}  // namespace kelvora::bench
