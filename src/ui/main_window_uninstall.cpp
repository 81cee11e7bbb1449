// The uninstall path's parts of the window: the on-screen log reLog, the
// shared-file question, printing the changes tree, and context help for
// every control.
#include "ui/main_window.h"

#include <richedit.h>

#include "changes/cell_text.h"
#include "changes/text_export.h"
#include "platform/win32/date_time_win.h"
#include "uninstall/uninstall_log.h"
#include "ui/main_captions.h"
#include "ui/print_changes.h"
#include "ui/remove_shared_dlg.h"

namespace kelvora::ui {

namespace {

COLORREF LevelColour(std::int32_t level) {
    switch (level) {
    case kLineError: return RGB(255, 0, 0);
    case kLineWarning: return RGB(0, 0, 255);
    case kLineSuccess: return RGB(0, 128, 0);
    default: return GetSysColor(COLOR_WINDOWTEXT);
    }
}

}  // namespace

// ------------------------------------------------------------------ reLog

void TfrmQorMain::ApplyLogFont() {
    // Courier New; where it is missing, the font mapper takes another of
    // fixed pitch, so the columns of the lines still align.
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(9, static_cast<int>(Dpi()), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(lf.lfFaceName, "Courier New", LF_FACESIZE);
    logFont_.Reset(CreateFontIndirectA(&lf));
    reLog.SetFont(logFont_.Get());
}

void TfrmQorMain::LogClear() { reLog.Clear(); }

void TfrmQorMain::LogAdd(const std::string& line, std::int32_t level) { reLog.AddLine(line, LevelColour(level)); }

void TfrmQorMain::ShowLogEnabled(bool enabled) {
    // Disabled while a run writes to it, in the button-face colour; then
    // the window colour (wParam 1: the system's).
    reLog.SetEnabled(enabled);
    SendMessageA(reLog.Handle(), EM_SETBKGNDCOLOR, enabled ? 1 : 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
}

int TfrmQorMain::AskRemoveShared(const std::string& fileName, const std::string& folder) {
    TdlgRemoveShared dialog;
    dialog.FileName = fileName;
    dialog.Folder = folder;
    return dialog.Execute(Handle(), *translator_);
}

// --------------------------------------------------------------- printing

void TfrmQorMain::PrintTree() {
    PrintJob job;
    job.Identifier = context_.AppIdentifier;
    job.DateTime = platform::win32::LocalDateTimeText(os_.clock.Now(), false);
    job.Font = {context_.Settings.ChangesTreeFont, context_.Settings.ChangesTreeFontSize, DEFAULT_CHARSET};
    const NodeId selected = tvChanges.FocusedNode();
    job.NodeSelected = selected != kNoNode;
    const bool hexa = context_.Settings.BinaryHexa;
    job.Lines = [this, selected, hexa](bool selection) {
        const auto access = model_.Lock();
        return BuildDocument(access, selection ? selected : kNoNode, hexa, CellWords::Translated(), os_.collation);
    };
    PrintChanges(Handle(), job);
}

// ------------------------------------------------------------ context help

void TfrmQorMain::SetupHelp() {
    helpViewer_ = std::make_unique<HtmlHelpViewer>(ProgramHelpFile());
    help_ = std::make_unique<ContextHelp>(*helpViewer_, Handle());
    // The list and the tree show their own menus on a right click.
    help_->SetHasOwnMenu([this](HWND window) {
        return (window == lvQorFiles.Handle() && lvQorFiles.Enabled()) || window == tvChanges.Tree().Handle();
    });
    SetHelpContexts(Handle(), MainCaptions());
}

}  // namespace kelvora::ui
