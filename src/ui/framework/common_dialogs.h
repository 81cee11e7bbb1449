// The common file, folder and print dialogs, thinly.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/gdi.h"

namespace kelvora::ui {

// filter: pairs of description and pattern separated by '|', such as
// "Text files (*.txt)|*.txt|All files|*.*". Answers the chosen path.
// title: the dialog's caption (the system's when empty); defaultExtension is
// added to a name typed without one.
std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view filter, std::string_view initialFolder = {},
                                            std::string_view title = {}, std::string_view defaultExtension = {});
// filterIndex, when given, is the filter shown first (1 for the first) and
// receives the one chosen.
std::optional<std::string> ChooseFileToSave(HWND owner, std::string_view filter, std::string_view defaultExtension,
                                            std::string_view initialName = {}, int* filterIndex = nullptr);
// The shell's folder browser; answers the chosen folder.
std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title, std::string_view initialFolder = {});

// Whether any printer (local or connected) is installed.
bool PrinterInstalled();

// The print dialog; kFailed at once when no printer is installed. It offers the range "Selection" besides "All" when
// offerSelection; Printer is the chosen printer's device context.
struct PrinterChoice {
    enum Outcome { kChosen, kCancelled, kFailed };
    Outcome Result = kCancelled;
    OwnedDc Printer;
    bool Selection = false;  // the range "Selection" was chosen
};
PrinterChoice ChoosePrinter(HWND owner, bool offerSelection);

// Several existing files (no read-only box, no network button); answers
// their full paths, none when cancelled.
std::vector<std::string> ChooseFilesToOpen(HWND owner, std::string_view filter);
// The folder browser rooted at the computer's drives, showing the selected
// folder's path in its status line.
std::optional<std::string> BrowseDriveFolder(HWND owner, std::string_view title);

}  // namespace kelvora::ui
