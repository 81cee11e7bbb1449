// Moved files: after both folder passes, a deleted file (kind 11) and a
// created file (kind 9) with exactly the same name (letter case counts) and
// the same time-and-size text are one file that moved. The deleted one
// becomes the old place (kind 12), the created one the new place (kind 13).
// Deleted files are taken in walk order of the "File System" branch (depth
// first, a node before its children), each paired with the first created
// file not yet paired, in the same order; both leaves stay where they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "changes/changes_tree.h"
#include "scan/scan_env.h"

namespace kelvora {

// The created files, indexed by name and text.
class MovedTwinIndex {
public:
    void AddCreated(NodeId node, std::string_view name, std::string_view newText);
    // Takes the first created file of that name and text not taken yet, or
    // answers kNoNode.
    NodeId FindMovedTwin(std::string_view name, std::string_view oldText);

private:
    struct Twins {
        std::vector<NodeId> nodes;  // in walk order
        std::size_t taken = 0;
    };
    static void MakeKey(std::string& key, std::string_view name, std::string_view text);

    std::unordered_map<std::string, Twins> twins_;
    std::string key_;
};

// Pairs the deleted and created files of the tree's "File System" branch.
// Ends early when a stop is requested; pairs made so far stay.
void DetectMoved(ScanEnv& env, ChangesTree& tree);

}  // namespace kelvora
