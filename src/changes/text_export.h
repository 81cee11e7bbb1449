// The changes tree as a document: a title with the application's identifier,
// the program's name with the date and time, then the changes grouped by the
// key or folder that holds them. The text export writes it as marked lines;
// the printout draws the same lines with the nodes' icons instead of marks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "changes/cell_text.h"
#include "changes/changes_tree.h"
#include "platform/platform.h"

namespace kelvora {

// One line of the document below its heading, as the walk of the tree
// produces it.
struct DocLine {
    enum Form : std::uint8_t {
        kRoot,     // "My Computer"
        kSection,  // "File System" or "Registry", as the tree shows it
        kKeyOrFolder,  // a created or deleted key or folder: Text is its full path
        kGroup,    // the key or folder holding the items that follow: Text is its path
        kItem,     // a change with one value: Text = Value
        kChanged,  // a changed value or file: Text, then Before ==> After
    };
    Form LineForm = kItem;
    std::int32_t Kind = 0;       // the node's change kind (the mark, the icon)
    std::int32_t ValueType = 0;  // the node's value type (the icon)
    std::string Text;            // the path, or the column-0 text
    std::string Before;          // kChanged
    std::string After;           // kChanged
    std::string Value;           // kItem
    // Who made the change (kKeyOrFolder, kItem, kChanged); activity is
    // marked with its reason.
    TActivityReason Activity = arSetup;
};

// The translated words of the marks.
struct MarkWords {
    std::string RegKey;     // "(REG KEY)"
    std::string RegVal;     // "(REG VAL)"
    std::string File;       // "(FILE)"
    std::string Folder;     // "(FOLDER)"
    std::string MovedFrom;  // "(MOVED FROM)"
    std::string MovedTo;    // "(MOVED TO)"
    std::string SharedInc;  // "(INCREMENTED)"

    static MarkWords Translated();
};

// The lines of a job that starts at node start: the whole tree when start is
// kNoNode or the root, one section when it is "File System" or "Registry",
// otherwise that node's branch below the path of its ancestors. Siblings go
// in the tree's order (sibling_order.h, names by the collation), but within a
// node the plain values and files come before the keys, folders and deeper
// branches; a group line precedes an item whenever the path holding it is
// not the last one written (each job starts with none written). The walk
// takes no stack and no copy of the path per level, however deep the tree.
std::vector<DocLine> BuildDocument(const ChangesTree::Access& tree, NodeId start, bool hexa,
                                   const CellWords& words, const platform::Collation& names);

// The same lines handed one by one to each as the walk makes them, so that a
// long document need not be held whole.
using DocLineSink = std::function<void(DocLine&&)>;
void ForEachDocLine(const ChangesTree::Access& tree, NodeId start, bool hexa, const CellWords& words,
                    const platform::Collation& names, const DocLineSink& each);

// The mark written before a change of this kind ("  (+)(REG VAL) ").
std::string MarkOf(std::int32_t kind, const MarkWords& marks);

// The export file's text, lines ended by CR LF: the title "'<id>' changes",
// "Kelvora,    " with the date and time, an empty line, then the lines.
std::string ExportText(std::string_view identifier, std::string_view dateTime, const std::vector<DocLine>& lines,
                       const MarkWords& marks);
// The text's parts: its heading (up to the empty line), and the text of one
// line appended to out.
std::string ExportHeading(std::string_view identifier, std::string_view dateTime);
void AppendExportLine(std::string& out, const DocLine& line, const MarkWords& marks);

// Writes the export of the branch at start (kNoNode for the whole tree) to
// path in one step, in the current language's words. False when the file
// could not be written; an earlier file of that name is then left intact.
bool ExportChanges(platform::FileSystem& files, const platform::Collation& names, std::string_view path,
                   const ChangesTree::Access& tree, NodeId start, std::string_view identifier,
                   std::string_view dateTime, bool hexa);

}  // namespace kelvora
