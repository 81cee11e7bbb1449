// The file-system comparison: two passes over the drive chains of the old and
// the new folder snapshot, like the registry's. The created pass (A = new,
// B = old) reports folders and files found only in the new tree and files
// whose time or size changed; the deleted pass (A = old, B = new) reports
// what is found only in the old one.
#pragma once

#include <string>
#include <string_view>

#include "scan/change_sink.h"
#include "scan/scan_env.h"
#include "scan/snapshot_tree.h"

namespace kelvora {

// pathA is empty for the drive level and ends with a backslash below it.
// The walk ends early when the wizard state becomes wsStopped.
void CompareFolders(ScanEnv& env, IChangeSink& sink, const TNode* a, const TNode* b, std::string_view pathA,
                    bool deleted);

// The text that stands for a file's state in a change record, from its
// 8-byte block: "hh:nn dd/mm/yy " with the user's time and date separators in
// place of ":" and "/" and the date's fields in the order of the user's short
// date ("hh:nn mm/dd/yy ", "hh:nn yy/mm/dd "), and the size as a signed number, with a terminating
// zero byte in the record. The fields of the packed time are shown as they
// are stored, so an out-of-range value (before 1980) still gives a stable
// text.
std::string FileStateText(const TValori& file, const platform::DateTimeSeparators& separators);

}  // namespace kelvora
