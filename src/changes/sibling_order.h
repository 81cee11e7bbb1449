// The order in which siblings of the changes tree are shown, printed and
// exported: by kind code, smaller first, then by name ignoring case. So a
// folder shows created folders, deleted folders, the file changes, then its
// sub-folder branches; "File System" comes before "Registry".
#pragma once

#include <string_view>

#include "changes/node_data.h"
#include "platform/text.h"

namespace kelvora {

// A name comparison (<0, 0, >0). The window passes the locale's
// case-insensitive collation; the default compares ASCII case-insensitively.
using NameCompare = int (*)(std::string_view, std::string_view);

// <0 when a comes before b, 0 when equal, >0 after.
inline int CompareNodes(const TNodeData& a, const TNodeData& b, NameCompare compareNames = CompareNoCase) {
    if (a.Kind != b.Kind) return a.Kind < b.Kind ? -1 : 1;
    return compareNames(a.Name, b.Name);
}

}  // namespace kelvora
