// Where the comparisons put what they find. The engine reports each change
// through this interface; the changes tree receives them through
// ChangesTreeSink, tests and benchmarks may record them instead.
#pragma once

#include <string_view>

#include "changes/changes_tree.h"
#include "changes/node_data.h"

namespace kelvora {

class IChangeSink {
public:
    virtual ~IChangeSink() = default;
    // Places one record below the branch nodes named by placementPath; the
    // record's blocks move with it.
    virtual void AddToTree(std::string_view placementPath, std::string_view name, TNodeData&& record) = 0;
};

class ChangesTreeSink : public IChangeSink {
public:
    explicit ChangesTreeSink(ChangesTree& tree) : tree_(tree) {}
    void AddToTree(std::string_view placementPath, std::string_view name, TNodeData&& record) override {
        tree_.AddToTree(placementPath, name, std::move(record));
    }

private:
    ChangesTree& tree_;
};

}  // namespace kelvora
