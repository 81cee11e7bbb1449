// The changes of a branch of the changes tree in the order the window shows
// them: a node, then its children in the tree's sibling order, depth first.
#pragma once

#include <functional>

#include "changes/changes_tree.h"
#include "platform/platform.h"

namespace kelvora {

// Calls each for start and every node below it (the whole tree from its
// root when start is kNoNode), parents before children, with the node's
// depth below start. Keeps its own stack, however deep the tree.
void ForEachNodeInOrder(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
                        const std::function<void(NodeId node, int depth)>& each);

// The same, for the change leaves only (the kinds an archive stores).
void ForEachChange(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
                   const std::function<void(NodeId node)>& each);

}  // namespace kelvora
