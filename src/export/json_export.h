// The JSON export of a changes tree, for scripts: every change with its
// kind, place, data and check state (docs/json-export.md describes the
// format). Written a piece at a time as the tree is walked, so its memory
// does not grow with the number of changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "changes/changes_tree.h"
#include "platform/platform.h"

namespace kelvora {

inline constexpr int kJsonExportVersion = 1;

// What the export says about itself.
struct ExportHeader {
    std::string Identifier;  // the monitored application
    std::string Exported;    // when, as "YYYY-MM-DDThh:mm:ss" local time
    std::string Program;     // "Kelvora 1.0.0"
};

// The name a change kind has in the export ("value-created"), empty for the
// frame and branch kinds.
std::string_view JsonKindName(std::int32_t kind);
// The name an activity reason has in the export ("volatile-location"), empty
// for the setup's own changes.
std::string_view JsonReasonName(TActivityReason reason);

// Writes the changes of the branch at start (kNoNode: the whole tree) to
// path. False when the file could not be created or written; what was
// written stays.
bool ExportJson(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                const ChangesTree::Access& tree, NodeId start, const ExportHeader& header);

// The same text, handed to write a piece at a time (for tests and the
// console).
void WriteJson(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
               const ExportHeader& header, std::string& buffer, const std::function<void(std::string&)>& flush);

}  // namespace kelvora
