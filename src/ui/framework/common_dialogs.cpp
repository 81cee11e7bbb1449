#include "ui/framework/common_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <winspool.h>

#include <algorithm>

namespace kelvora::ui {

namespace {

// The dialogs want the filter's parts separated by NULs, ending in two.
std::string FilterText(std::string_view filter) {
    std::string text(filter);
    std::replace(text.begin(), text.end(), '|', '\0');
    text.append(2, '\0');
    return text;
}

std::optional<std::string> RunFileDialog(HWND owner, std::string_view filter, std::string_view extension,
                                         std::string_view initial, std::string_view folder, bool save,
                                         std::string_view title = {}) {
    std::string caption(title);
    std::string filters = FilterText(filter);
    // The dialog wants the extension without its dot.
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    std::string ext(extension);
    std::string dir(folder);
    std::string path(MAX_PATH * 4, '\0');
    std::copy_n(initial.begin(), std::min(initial.size(), path.size() - 1), path.begin());
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    // NOCHANGEDIR: the program's current directory must stay its own folder.
    ofn.Flags = OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) return std::nullopt;
    path.resize(path.find('\0'));
    return path;
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(HWND owner, std::string_view filter, std::string_view initialFolder,
                                            std::string_view title, std::string_view defaultExtension) {
    return RunFileDialog(owner, filter, defaultExtension, {}, initialFolder, false, title);
}

std::optional<std::string> ChooseFileToSave(HWND owner, std::string_view filter, std::string_view defaultExtension,
                                            std::string_view initialName) {
    return RunFileDialog(owner, filter, defaultExtension, initialName, {}, true);
}

std::optional<std::string> BrowseForFolder(HWND owner, std::string_view title, std::string_view initialFolder) {
    std::string caption(title);
    std::string initial(initialFolder);
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    // Start in the initial folder: the dialog asks once it is initialised.
    info.lpfn = [](HWND hwnd, UINT msg, LPARAM, LPARAM data) -> int {
        if (msg == BFFM_INITIALIZED && data != 0) SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
        return 0;
    };
    info.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&info);
    if (pidl == nullptr) return std::nullopt;
    std::string path(MAX_PATH * 4, '\0');
    BOOL ok = SHGetPathFromIDListA(pidl, path.data());
    CoTaskMemFree(pidl);
    if (!ok) return std::nullopt;
    path.resize(path.find('\0'));
    return path;
}

bool PrinterInstalled() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    return needed > 0;
}

PrinterChoice ChoosePrinter(HWND owner, bool offerSelection) {
    PrinterChoice choice;
    // Without a printer the dialog only says so in a box of its own and
    // then returns as if cancelled (Wine), or with an error (Windows).
    if (!PrinterInstalled()) {
        choice.Result = PrinterChoice::kFailed;
        return choice;
    }
    PRINTDLGA pd{};
    pd.lStructSize = sizeof(pd);
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | (offerSelection ? 0 : PD_NOSELECTION);
    if (!PrintDlgA(&pd)) {
        // No extended error: the user cancelled. Anything else (no printer
        // installed, a driver that fails) is the printer's error.
        choice.Result = CommDlgExtendedError() == 0 ? PrinterChoice::kCancelled : PrinterChoice::kFailed;
        return choice;
    }
    if (pd.hDevMode != nullptr) GlobalFree(pd.hDevMode);
    if (pd.hDevNames != nullptr) GlobalFree(pd.hDevNames);
    choice.Printer.Reset(pd.hDC);
    choice.Result = choice.Printer ? PrinterChoice::kChosen : PrinterChoice::kFailed;
    choice.Selection = (pd.Flags & PD_SELECTION) != 0;
    return choice;
}

}  // namespace kelvora::ui
