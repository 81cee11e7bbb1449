// The changes tree as the rescan sees it: each record found by a comparison
// becomes a leaf, and the moved-file detection may rewrite the kinds of the
// "File System" branch.
#pragma once

#include "changes/changes_tree.h"
#include "scan/change_sink.h"

namespace kelvora {

class ChangesTreeSink final : public IChangeSink {
public:
    explicit ChangesTreeSink(ChangesTree& tree) : tree_(tree) {}

    void AddToTree(std::string_view placementPath, std::string_view name, ChangeRecord&& record) override;
    // Holds the tree's lock for the whole visit; visit must not wait for
    // another thread.
    void VisitFileSystemBranch(const std::function<bool(NodeView&)>& visit) override;

private:
    ChangesTree& tree_;
};

}  // namespace kelvora
