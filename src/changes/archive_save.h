// Saving the changes tree into an archive: only the changes and their full
// paths are stored, registry first, then the file system, each in
// depth-first pre-order of the tree's insertion order. Check marks and the
// tree's shape are not stored.
#pragma once

#include <string_view>

#include "changes/changes_tree.h"
#include "changes/chg_archive.h"

namespace kelvora {

// Appends the record of one node whose parent's path is parentPath (the
// names of its ancestors below the root key or from the drive on, joined by
// backslashes). Frame and branch nodes write nothing.
void WriteNodeRecord(TChgArchive& archive, const TNodeData& data, std::string_view parentPath);

// Appends the records of node and of all its descendants.
void WriteSubtree(TChgArchive& archive, const ChangesTree::Access& tree, NodeId node, std::string_view parentPath);

// Writes the whole tree into a new archive in memory (not yet stored).
void BuildArchive(ChangesTree& tree, TChgArchive& archive);

// Writes the whole tree into a new archive and stores it (replacing any
// earlier archive of that name only once the new one is complete). Raises
// ArchiveError when the file cannot be stored; the tree is not changed.
void SaveChangesTree(ChangesTree& tree, TChgArchive& archive);

}  // namespace kelvora
