#include "ui/shell_run.h"

#include <shellapi.h>

#include "translation/messages.h"
#include "ui/message_dlg.h"

namespace kelvora::ui {

bool ShellRun(HWND owner, const char* verb, const std::string& file, const std::string& parameters,
              const std::string& folder, ULONG mask, const std::string& program) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    // The shell's own error box would not say which file; ours does.
    info.fMask = mask | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&info)) return true;
    // Windows says "no association" in the last error, Wine in hInstApp only.
    const DWORD error = GetLastError();
    const auto code = reinterpret_cast<INT_PTR>(info.hInstApp);
    std::string text;
    if (!program.empty()) {
        text = FormatText(TranslateString(RS_CANT_EXECUTE), {program});
    } else if (error == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC) {
        text = FormatText(TranslateString(RS_NO_PROGRAM), {file});
    } else {
        text = FormatText(TranslateString(RS_CANT_OPEN), {file});
    }
    ShowMessageDlg(text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    return false;
}

}  // namespace kelvora::ui
