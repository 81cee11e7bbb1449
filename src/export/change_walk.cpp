#include "export/change_walk.h"

#include <vector>

namespace kelvora {

void ForEachNodeInOrder(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
                        const std::function<void(NodeId node, int depth)>& each) {
    if (start == kNoNode) start = tree.Root();
    if (start == kNoNode) return;
    struct Level {
        std::vector<NodeId> children;
        std::size_t next = 0;
    };
    std::vector<Level> stack;
    auto enter = [&](NodeId node) {
        each(node, static_cast<int>(stack.size()));
        if (tree.FirstChild(node) != kNoNode) stack.push_back({tree.SortedChildren(node, names), 0});
    };
    enter(start);
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.children.size()) {
            stack.pop_back();
            continue;
        }
        enter(level.children[level.next++]);
    }
}

void ForEachChange(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
                   const std::function<void(NodeId node)>& each) {
    ForEachNodeInOrder(tree, start, names, [&](NodeId node, int) {
        if (IsStoredKind(tree.Data(node).Kind)) each(node);
    });
}

}  // namespace kelvora
