// What the window's Export writes, from the save dialog's answer: the
// format of the filter chosen (text, HTML, JSON, the undo package), or for
// "All files" the one the name's extension says; the name gets the format's
// extension when it has another of these or none.
#pragma once

#include <string>
#include <string_view>

namespace kelvora {

enum class ExportFormat { kText, kHtml, kJson, kUndoPackage };

// The filters of the dialog, in this order: 1 text, 2 HTML, 3 JSON, 4 the
// undo package, 5 all files.
inline constexpr int kExportFilterCount = 5;

struct ExportTarget {
    ExportFormat Format = ExportFormat::kText;
    // The file to write; for the undo package, the folder that gets
    // <identifier>-undo.reg and -undo.cmd.
    std::string Path;
};

ExportTarget ChooseExportTarget(int filterIndex, std::string_view path);

}  // namespace kelvora
