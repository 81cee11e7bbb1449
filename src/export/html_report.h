// The HTML report of a changes tree: one self-contained page (no network,
// no other files) with the title, when it was recorded, the number of
// changes of each kind, and the tree with the window's icons, texts and
// order, its branches collapsible, a search box that filters the rows, and
// a printable layout. The rows are data in the page that a script shows a
// screenful at a time, so a report of 100,000 changes opens at once.
#pragma once

#include <string>
#include <string_view>

#include "changes/cell_text.h"
#include "changes/changes_tree.h"
#include "changes/text_export.h"
#include "platform/platform.h"

namespace kelvora {

struct ReportHeader {
    std::string Identifier;
    std::string Exported;  // the date and time of the report, as the user reads them
    std::string Recorded;  // when the changes were recorded; may be empty
};

// The report's translated texts.
struct ReportWords {
    std::string Title;     // "'%s' changes" with the identifier
    std::string Changes;   // "Detected changes"
    std::string Before;    // "Before"
    std::string After;     // "After"
    std::string Search;    // "Search"
    std::string Recorded;  // "Recorded"
    std::string Total;     // "Changes"
    MarkWords Marks;

    static ReportWords Translated(std::string_view identifier);
};

// Writes the report of the branch at start (kNoNode: the whole tree) to
// path, binary data as hexadecimal when hexa. False when the file could not
// be written; what was written stays.
bool ExportHtml(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                const ChangesTree::Access& tree, NodeId start, const ReportHeader& header, bool hexa);

// The page's text, handed to flush a piece at a time.
void WriteHtml(const ChangesTree::Access& tree, NodeId start, const platform::Collation& names,
               const ReportHeader& header, const ReportWords& words, const CellWords& cells, bool hexa,
               std::string& out, const std::function<void(std::string&)>& flush);

}  // namespace kelvora
