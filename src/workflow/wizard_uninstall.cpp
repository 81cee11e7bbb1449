// The uninstall path: opening an archive (case Open of Next), the archive
// loader's end, Back from the tree page, uninstalling the checked changes
// (case Uninstall of Next), the uninstaller's reports and its end.
#include "changes/activity.h"
#include "changes/archive_load.h"
#include "changes/chg_archive.h"
#include "changes/identifier.h"
#include "translation/messages.h"
#include "uninstall/dezinstaler.h"
#include "uninstall/uninstall_log.h"
#include "workflow/wizard.h"

namespace kelvora {

std::string TWizard::UninstallingTitle() const {
    return "Kelvora [" + context_.AppIdentifier + "] - " + TranslateString(RS_UNINSTALLING);
}

// ------------------------------------------------------- opening an archive

void TWizard::Open() {
    const std::optional<std::string> selected = host_.ListSelected();
    if (!selected) return;
    context_.AppIdentifier = *selected;
    Load();
}

void TWizard::Load() {
    os_.files.SetCurrentDir(context_.ProgramFolder);
    screen_.ProgressPosition = 0;
    screen_.Title = UninstallingTitle();

    // Only the header is read here, however large the archive: the loader
    // reads the whole file on its own thread.
    const TChgArchive archive(os_.files, os_.clock, ArchiveFileBase(context_.ProgramFolder, context_.AppIdentifier));
    if (!archive.HasValidHeader()) {
        LoadFailed();
        return;
    }

    screen_.NextEnabled = false;
    screen_.BackEnabled = false;
    screen_.ExitCaption = TranslateString(RS_STOP);
    screen_.Status = TranslateString(RS_LOADING_CHG);
    tree_.StartFill(true, showIgnored_);
    host_.TreeReset();
    screen_.MainEnabled = false;
    screen_.ProgressMax = 100;
    screen_.SaveEnabled = screen_.PrintEnabled = screen_.ExportEnabled = false;
    // Set before the start: a Stop or a close knows the loader runs.
    SetState(TWizardState::wsLoading);
    StartWorker(workers_.NewLoad(*this, tree_), &TWizard::LoadFinished);
    host_.TreeExpandRoot();
    Show();
    host_.Focus(TFocus::btnExit);
}

void TWizard::SetProgress(int percent) {
    screen_.ProgressPosition = percent;
    Show();
}

void TWizard::LoadFinished(TSafeThread& worker) {
    const TWorkEnd end = worker.WorkEnd();
    const std::string failure = EndWorker(worker);
    if (failure.empty()) {
        SetState(LoadEndState(end));
    } else {
        // Not a damaged archive (the loader refuses that) but a fault of
        // the machine: reported, and the load counts as stopped.
        Error(failure);
        SetState(TWizardState::wsStopped);
    }
    switch (State()) {
    case TWizardState::wsBadArchive:
        // A damaged archive is told as one that is no archive at all.
        LoadFailed();
        break;
    case TWizardState::wsStopped:
        tree_.Clear();
        host_.TreeReset();
        screen_.Page = TPage::pnlFirst;
        screen_.Status = TranslateString(RS_CHOOSE_IDENTIFIER);
        screen_.Title = "Kelvora";
        break;
    default:
        tree_.FinishFill();
        host_.TreeFinishForViewing();
        screen_.BackEnabled = screen_.PrintEnabled = screen_.ExportEnabled = true;
        screen_.SaveEnabled = false;
        screen_.Page = TPage::pnlTree;
        screen_.Status = TreePageStatus();
        break;
    }
    screen_.ExitCaption = TranslateString(RS_EXIT);
    screen_.ProgressPosition = 0;
    screen_.NextEnabled = true;
    screen_.MainEnabled = true;
    Show();
    host_.Focus(TFocus::btnNext);
}

// The archive cannot be read (not an archive, or a damaged one): said in a
// box, on the first page; the file and its row stay, for the user to delete.
void TWizard::LoadFailed() {
    tree_.Clear();
    host_.TreeReset();
    screen_.ShowIgnoredVisible = false;
    screen_.Page = TPage::pnlFirst;
    screen_.Title = "Kelvora";
    screen_.Status = TranslateString(RS_CHOOSE_IDENTIFIER);
    screen_.BackEnabled = false;
    screen_.NextEnabled = host_.ListSelected().has_value();
    Error(TranslateString(RS_INV_FILE_FORMAT));
}

// What the tree page says before an uninstall: on the first line the counts
// of the setup's changes and of activity, what the ignore lists hide and what
// no undo can bring back; on the second what Next does.
std::string TWizard::TreePageStatus() {
    auto tree = tree_.Lock();
    std::string status = ChangeCountsText(CountChanges(tree));
    const std::size_t hidden = tree.HiddenCount();
    screen_.ShowIgnoredVisible = hidden > 0;
    screen_.ShowIgnored = showIgnored_;
    if (hidden > 0) {
        status += ". ";
        status += showIgnored_ ? CountText(RS_IGNORED_SHOWN_ONE, RS_IGNORED_SHOWN_MANY, hidden)
                               : CountText(RS_HIDDEN_ONE, RS_HIDDEN_MANY, hidden);
    }
    if (const std::size_t lost = CountCannotBeUndone(tree); lost > 0) {
        status += ". ";
        status += FormatText(TranslateString(RS_CANNOT_UNDO), {std::to_string(lost)});
    }
    return status + "\n" + TranslateString(RS_NEXT_UNINSTALL);
}

void TWizard::cbShowIgnoredClick(bool checked) {
    if (showIgnored_ == checked) return;
    showIgnored_ = checked;
    screen_.ShowIgnored = checked;
    // The tree shows an archive: it is loaded again with or without them.
    if (screen_.Page == TPage::pnlTree && !screen_.InstallChosen && worker_ == nullptr &&
        State() != TWizardState::wsUninstalled) {
        if (!AskSaveChanges()) {
            showIgnored_ = !checked;
            screen_.ShowIgnored = !checked;
            Show();
            return;
        }
        Load();
    }
    Show();
}

void TWizard::BackToFirstPage() {
    // The tree keeps its content; Next on the first page loads it again.
    screen_.BackEnabled = false;
    screen_.Status = TranslateString(RS_CHOOSE_IDENTIFIER);
    screen_.Title = "Kelvora";
    screen_.Page = TPage::pnlFirst;
    UpdateFirstPage();
    Show();
}

// ------------------------------------------------------------ uninstalling

void TWizard::Uninstall() {
    if (!AskSaveChanges()) return;
    Show();
    const std::string question = FormatText(TranslateString(RS_ASK_UNINSTALL), {context_.AppIdentifier});
    if (host_.Message(question, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != mrYes) return;

    log_.Clear();
    host_.LogClear();
    screen_.LogEnabled = false;
    screen_.Page = TPage::pnlLog;
    screen_.NextEnabled = screen_.BackEnabled = false;
    screen_.ExitCaption = TranslateString(RS_STOP);
    screen_.ProgressPosition = 0;
    // The run keeps the mask it started with, as the uninstaller keeps its
    // settings.
    logLevel_ = context_.Settings.LogLevel;
    SetState(TWizardState::wsUninstalling);
    StartWorker(workers_.NewUninstall(UninstallServices{os_, dispatcher_, context_, tree_, *this, *this}),
                &TWizard::UninstallFinished);
    Show();
    host_.Focus(TFocus::btnExit);
}

void TWizard::SetProgressMax(int maximum) {
    screen_.ProgressMax = maximum;
    screen_.ProgressPosition = 0;
    Show();
}

void TWizard::ShowLogLine(const std::string& line, std::int32_t level) {
    if (log_.Add(logLevel_, line, level)) host_.LogAdd(line, level);
}

int TWizard::AskRemoveShared(const std::string& fileName, const std::string& folder) {
    return host_.AskRemoveShared(fileName, folder);
}

void TWizard::UninstallFinished(TSafeThread& worker) {
    const std::string failure = EndWorker(worker);
    screen_.LogEnabled = true;
    // A run that a fault ended is incomplete, as a stopped one.
    const bool stopped = State() == TWizardState::wsStopped || !failure.empty();
    screen_.Status = TranslateString(stopped ? RS_UNINST_STOPPED : RS_UNINST_COMPLETE);
    SetState(TWizardState::wsUninstalled);
    if (!failure.empty()) Error(failure);
    const LogWriteResult written = WriteUninstallLog(os_.files, context_.ProgramFolder, logLevel_,
                                                     context_.AppIdentifier, host_.DateTimeText(os_.clock.Now()),
                                                     log_.Lines());
    // The on-screen log keeps the lines; the run's end goes on.
    if (written == LogWriteResult::kReadFailed || written == LogWriteResult::kWriteFailed) {
        Error(TranslateString(RS_CLI_LOG_FAILED));
    }
    screen_.ExitCaption = TranslateString(RS_EXIT);
    screen_.NextEnabled = true;
    screen_.ProgressPosition = 0;
    Show();
}

}  // namespace kelvora
