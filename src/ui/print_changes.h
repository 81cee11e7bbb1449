// The tree page's Print button: the print dialog, then the printout of the
// whole changes tree or of the selected branch.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "changes/text_export.h"
#include "ui/changes_printout.h"

namespace kelvora::ui {

struct PrintJob {
    std::string Identifier;  // the application whose changes are printed
    std::string DateTime;    // as the export writes it
    PrintFont Font;
    bool NodeSelected = false;  // the dialog offers "Selection" only then
    // The document's lines: the selected branch (selection) or the tree.
    std::function<std::vector<DocLine>(bool selection)> Lines;
};

// The heading of a printout in the current language.
PrintHeading PrintHeadingOf(std::string_view identifier, std::string_view dateTime);

// Shows the print dialog over owner; Cancel does nothing. Otherwise prints
// with the hourglass shown and owner disabled, and shows "Printing error !"
// when the printer fails (or none is installed).
void PrintChanges(HWND owner, const PrintJob& job);

}  // namespace kelvora::ui
