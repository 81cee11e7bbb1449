// The common file, folder and print dialogs, thinly.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "ui/framework/gdi.h"

namespace kelvora::ui {

// filter: pairs of description and pattern separated by '|', such as
// "Text files (*.txt)|*.txt|All files|*.*". Answers the chosen path.
// title: the dialog's caption (the system's when empty); defaultExtension is
// added to a name typed without one.
std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view filter, std::string_view initialFolder = {},
                                            std::string_view title = {}, std::string_view defaultExtension = {});
std::optional<std::string> ChooseFileToSave(HWND owner, std::string_view filter, std::string_view defaultExtension,
                                            std::string_view initialName = {});
// The shell's folder browser; answers the chosen folder.
std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title, std::string_view initialFolder = {});

// The print dialog; on OK answers the chosen printer's device context.
OwnedDc ChoosePrinter(HWND owner);

}  // namespace kelvora::ui
