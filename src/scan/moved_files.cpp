#include "scan/moved_files.h"

#include <algorithm>
#include <utility>

namespace kelvora {

void MovedTwinIndex::MakeKey(std::string& key, std::string_view name, std::string_view text) {
    key.assign(name);
    key.push_back('\0');  // no file name holds a zero byte
    key.append(text);
}

void MovedTwinIndex::AddCreated(NodeId node, std::string_view name, std::string_view newText) {
    MakeKey(key_, name, newText);
    twins_[key_].nodes.push_back(node);
}

NodeId MovedTwinIndex::FindMovedTwin(std::string_view name, std::string_view oldText) {
    MakeKey(key_, name, oldText);
    const auto found = twins_.find(key_);
    if (found == twins_.end() || found->second.taken == found->second.nodes.size()) return kNoNode;
    return found->second.nodes[found->second.taken++];
}

namespace {

struct DeletedFile {
    NodeId node;
    std::string name;
    std::string text;
};

}  // namespace

void DetectMoved(ScanEnv& env, ChangesTree& tree) {
    // The branch is read once under the tree's lock: the created files go
    // into the index, the deleted ones into a list, both in walk order.
    MovedTwinIndex index;
    std::vector<DeletedFile> deleted;
    {
        const ChangesTree::Access access = tree.Lock();
        const NodeId branch = access.FileSystem();
        if (branch == kNoNode) return;
        std::vector<NodeId> pending{branch};
        while (!pending.empty()) {
            const NodeId node = pending.back();
            pending.pop_back();
            const TNodeData& data = access.Data(node);
            if (data.Kind == ckFileCreated) {
                index.AddCreated(node, data.Name, data.NewText());
            } else if (data.Kind == ckFileDeleted) {
                deleted.push_back({node, data.Name, std::string(data.OldText())});
            }
            // Children go on the stack last first, so the first comes out next.
            const std::size_t mark = pending.size();
            for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
                pending.push_back(child);
            }
            std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
        }
    }

    // Then the pairs are made without the lock, passing pause points.
    std::vector<std::pair<NodeId, NodeId>> pairs;  // deleted, created
    for (const DeletedFile& file : deleted) {
        if (env.worker.Terminated()) break;
        const NodeId twin = index.FindMovedTwin(file.name, file.text);
        if (twin != kNoNode) pairs.emplace_back(file.node, twin);
        env.worker.PausePoint();
    }

    // Last the kinds are rewritten. A pair of which the user removed a leaf
    // meanwhile is left alone.
    ChangesTree::Access access = tree.Lock();
    for (const auto& [from, to] : pairs) {
        if (access.IsAlive(from) && access.IsAlive(to) && access.Data(from).Kind == ckFileDeleted &&
            access.Data(to).Kind == ckFileCreated) {
            access.SetKind(from, ckFileMovedFrom);
            access.SetKind(to, ckFileMovedTo);
        }
    }
}

}  // namespace kelvora
