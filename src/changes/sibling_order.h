// The tree's order: the one order of siblings wherever the changes tree is
// read in order (on screen, in the printout and the export, and in the
// uninstaller's walk). By kind code, smaller first, then by name in the
// user's collation. So a folder shows created folders, deleted folders, the
// file changes, then its sub-folder branches; "File System" comes before
// "Registry".
#pragma once

#include "changes/node_data.h"
#include "platform/platform.h"

namespace kelvora {

// <0 when a comes before b, 0 when equal, >0 after.
inline int CompareNodes(const TNodeData& a, const TNodeData& b, const platform::Collation& names) {
    if (a.Kind != b.Kind) return a.Kind < b.Kind ? -1 : 1;
    return names.Compare(a.Name, b.Name);
}

}  // namespace kelvora
