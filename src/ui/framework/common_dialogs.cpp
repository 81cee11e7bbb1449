#include "ui/framework/common_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>

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
                                         std::string_view title = {}, int* filterIndex = nullptr) {
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
    ofn.nFilterIndex = filterIndex != nullptr ? static_cast<DWORD>(*filterIndex) : 0;
    // NOCHANGEDIR: the program's current directory must stay its own folder.
    ofn.Flags = OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) return std::nullopt;
    if (filterIndex != nullptr) *filterIndex = static_cast<int>(ofn.nFilterIndex);
    path.resize(path.find('\0'));
    return path;
}

// The path of what the folder browser answered (which it hands over).
std::optional<std::string> PathOfBrowsed(PIDLIST_ABSOLUTE pidl) {
    if (pidl == nullptr) return std::nullopt;
    std::string path(MAX_PATH * 4, '\0');
    BOOL ok = SHGetPathFromIDListA(pidl, path.data());
    CoTaskMemFree(pidl);
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
                                            std::string_view initialName, int* filterIndex) {
    return RunFileDialog(owner, filter, defaultExtension, initialName, {}, true, {}, filterIndex);
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
    return PathOfBrowsed(SHBrowseForFolderA(&info));
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

std::vector<std::string> ChooseFilesToOpen(HWND owner, std::string_view filter) {
    std::string filters = FilterText(filter);
    std::string buffer(64 * 1024, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NONETWORKBUTTON | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return {};
    // One file: its full path. Several: the folder, then each name, every
    // part ending in a NUL and the whole in two.
    std::vector<std::string> parts;
    for (const char* p = buffer.c_str(); *p != '\0'; p += std::strlen(p) + 1) parts.emplace_back(p);
    if (parts.size() <= 1) return parts;
    std::vector<std::string> files;
    std::string folder = parts[0];
    if (folder.back() != '\\') folder += '\\';
    for (std::size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
    return files;
}

std::optional<std::string> BrowseDriveFolder(HWND owner, std::string_view title) {
    std::string caption(title);
    PIDLIST_ABSOLUTE drives = nullptr;
    SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &drives);
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pidlRoot = drives;
    info.lpszTitle = caption.c_str();
    // The status line exists only in the browser's older style.
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    info.lpfn = [](HWND hwnd, UINT msg, LPARAM selection, LPARAM) -> int {
        char path[MAX_PATH * 4] = {};
        if (msg == BFFM_SELCHANGED && SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(selection), path))
            SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
        return 0;
    };
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderA(&info);
    if (drives != nullptr) CoTaskMemFree(drives);
    return PathOfBrowsed(pidl);
}

}  // namespace kelvora::ui
