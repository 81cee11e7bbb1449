#include "platform/win32/shell_win.h"

#include "platform/win32/file_system_win.h"
#include "platform/win32/logon_task_win.h"
#include "platform/win32/process_tree_win.h"
#include "platform/win32/wide_path_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace kelvora::platform::win32 {

bool Win32Shell::Execute(std::string_view file, std::string_view parameters) {
    const std::string fileText(file);
    const std::string parameterText(parameters);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
    info.lpFile = fileText.c_str();
    info.lpParameters = parameterText.empty() ? nullptr : parameterText.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

namespace {

// The short form of a full path without the "\\?\" prefix, or the path as
// it was when there is none.
std::wstring ShortPath(const std::wstring& path) {
    const std::wstring api = ApiPath(Narrow(path));
    std::wstring shortPath = QueryWideString([&api](wchar_t* buffer, unsigned long size) {
        return GetShortPathNameW(api.c_str(), buffer, size);
    });
    return shortPath.empty() ? path : Widen(ProgramPath(shortPath));
}

}  // namespace

bool Win32Shell::DeleteToRecycleBin(std::string_view fullPath) {
    // The shell wants a full path (a relative one may be taken relative to
    // another folder) in a list ended by an empty string: path, zero, zero.
    std::wstring path = Widen(Win32FileSystem().FullPathName(fullPath));
    // SHFileOperation takes no path of MAX_PATH characters or more (Wine's
    // ends the whole process on one). Such an item goes by its short (8.3)
    // path when the volume keeps short names and that path fits; otherwise
    // it stays where it is.
    if (path.size() >= MAX_PATH) path = ShortPath(path);
    if (path.size() >= MAX_PATH || GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    std::wstring list = path;
    list.push_back(L'\0');
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&operation);
    // With its boxes off the shell may answer 0 and still have left the item
    // where it was (and it reports some successes with odd codes): what
    // counts is whether the item is gone.
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool Win32Shell::ScheduleAtLogon(std::string_view name, std::string_view program) {
    return ScheduleLogonTask(name, program);
}

bool Win32Shell::UnscheduleAtLogon(std::string_view name) { return DeleteLogonTask(name); }

ProcessRun Win32Shell::RunToEnd(std::string_view file, std::string_view arguments) {
    // The program's own name comes first on its command line, quoted: a path
    // never holds a quote. A name without a folder is looked for as a command.
    const std::wstring program = Widen(file);
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring wideArguments = Widen(arguments);
    if (!wideArguments.empty()) commandLine += L" " + wideArguments;
    return RunProcessTree(program, commandLine, wideArguments);
}

}  // namespace kelvora::platform::win32
