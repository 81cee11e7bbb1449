// The first page, the targets page, the cases of Next and Back, and the
// completion handlers of the two scans.
#include "workflow/wizard.h"

#include <exception>
#include <new>

#include "changes/activity.h"
#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "changes/identifier.h"
#include "monitoring/monitoring.h"
#include "monitoring/targets.h"
#include "scan/db_tree.h"
#include "settings/settings_store.h"
#include "translation/messages.h"
#include "workflow/existing_archive.h"

namespace kelvora {

namespace {

constexpr TTarget kRegistryTargets[] = {tgHKCR, tgHKLM, tgHKUS, tgHKCU, tgHKCC};

// The settings shown by the nine target boxes, in the boxes' order.
constexpr bool TSettings::*kTargetSettings[kTargetCount] = {
    &TSettings::ScanHKCR, &TSettings::ScanHKLM, &TSettings::ScanHKUS, &TSettings::ScanHKCU, &TSettings::ScanHKCC,
    &TSettings::ScanWin,  &TSettings::ScanProg, &TSettings::ScanEntire, &TSettings::ScanOthers};

}  // namespace

TWizard::TWizard(AppContext& context, platform::Platform& os, platform::Dispatcher& dispatcher, ChangesTree& tree,
                 IWizardHost& host, IWorkerFactory& workers, std::string programFile)
    : context_(context),
      os_(os),
      dispatcher_(dispatcher),
      tree_(tree),
      host_(host),
      workers_(workers),
      programFile_(std::move(programFile)) {
    screen_.Status = TranslateString(RS_ENTER_IDENTIFIER);
    screen_.ExitCaption = TranslateString(RS_EXIT);
}

TWizard::~TWizard() {
    setupWatch_.reset();
    GiveUpWorker();
    // An archive being stored is finished first.
    if (writer_ != nullptr) writer_->Abandon();
}

void TWizard::FormCreate() {
    for (int t = 0; t < kTargetCount; ++t) screen_.Targets[t].Checked = context_.Settings.*kTargetSettings[t];
    screen_.OtherPaths = context_.Settings.ScanOtherPaths;
    screen_.OtherPathsEnabled = screen_.Targets[tgOthers].Checked;
    ResumedStart();
    Show();
}

// ------------------------------------------------------------ first page

void TWizard::rbInstallClick() {
    screen_.InstallChosen = true;
    screen_.Status = TranslateString(RS_ENTER_IDENTIFIER);
    UpdateFirstPage();
    Show();
}

void TWizard::rbUninstallClick() {
    screen_.InstallChosen = false;
    screen_.Status = TranslateString(RS_CHOOSE_IDENTIFIER);
    UpdateFirstPage();
    Show();
}

void TWizard::edIdentifChange(std::string_view text) {
    screen_.Identifier = std::string(text);
    UpdateFirstPage();
    Show();
}

void TWizard::lvQorFilesSelectItem() {
    UpdateFirstPage();
    Show();
}

void TWizard::LanguageChanged() {
    if (screen_.Page != TPage::pnlFirst) return;
    screen_.Status = TranslateString(screen_.InstallChosen ? RS_ENTER_IDENTIFIER : RS_CHOOSE_IDENTIFIER);
    screen_.ExitCaption = TranslateString(RS_EXIT);
    Show();
}

void TWizard::UpdateFirstPage() {
    // The first page's state decides Next only while that page shows.
    if (screen_.Page != TPage::pnlFirst) return;
    screen_.IdentifierEnabled = screen_.InstallChosen;
    screen_.ListEnabled = !screen_.InstallChosen;
    screen_.NextEnabled = screen_.InstallChosen ? !screen_.Identifier.empty() : host_.ListSelected().has_value();
}

bool TWizard::IdentifierKeyAllowed(std::string_view current, char c) {
    if (c == ' ') return !current.empty();
    return std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos;
}

bool TWizard::SetupPathKeyAllowed(std::string_view current, char c) {
    if (c == ' ') return !current.empty();
    return c != '*' && c != '?';
}

// ----------------------------------------------------------- targets page

void TWizard::TargetClick(TTarget target, bool checked) {
    if (!screen_.Targets[target].Enabled) return;
    screen_.Targets[target].Checked = checked;
    if (target == tgOthers) cbOthersClick();
    else UpdateTargetsPage();
    Show();
}

void TWizard::cbOthersClick() {
    screen_.OtherPathsEnabled = screen_.Targets[tgOthers].Checked;
    UpdateTargetsPage();
}

void TWizard::edOthersChange(std::string_view text) {
    screen_.OtherPaths = std::string(text);
    Show();
}

int TWizard::UpdateTargetsPage() {
    auto& t = screen_.Targets;
    int steps = 0;
    for (TTarget target : kRegistryTargets) steps += t[target].Checked ? 1 : 0;
    // The entire partition holds the Windows and Program Files folders.
    const bool entire = t[tgSRest].Checked;
    if (entire) t[tgSWin].Checked = t[tgSProg].Checked = true;
    t[tgSWin].Enabled = t[tgSProg].Enabled = !entire;
    // All the folders together are one step.
    if (t[tgSWin].Checked || t[tgSProg].Checked || t[tgOthers].Checked) ++steps;
    screen_.NextEnabled = steps > 0;
    screen_.ProgressMax = 5 * steps;
    return steps;
}

// ------------------------------------------------------------------ Next

void TWizard::btnNextClick() {
    // Enter reaches the default button even while it is disabled.
    if (!screen_.NextEnabled) return;
    const TPage page = screen_.Page;
    const TWizardState state = State();
    if (page == TPage::pnlFirst && screen_.InstallChosen) {
        Begin();
    } else if (page == TPage::pnlFirst) {
        Open();
    } else if (page == TPage::pnlTree && !screen_.InstallChosen && state != TWizardState::wsUninstalled) {
        Uninstall();
    } else if (page == TPage::pnlTargets) {
        ScanTargets();
    } else if ((page == TPage::pnlTree && state == TWizardState::wsMonitored) || page == TPage::pnlLog) {
        StartOver();
    } else if ((page == TPage::pnlRun && state == TWizardState::wsSetupRunning) ||
               (page == TPage::pnlTree && state == TWizardState::wsResumed)) {
        Rescan();
    } else if (page == TPage::pnlRun) {
        Launch();
    }
    Show();
}

std::string TWizard::InstallingTitle() const {
    return "Kelvora [" + context_.AppIdentifier + "] - " + TranslateString(RS_INSTALLING);
}

void TWizard::Begin() {
    // An identifier names a file: refused here, before anything is written,
    // whether it was typed, pasted or dropped.
    if (auto error = IdentifierError(screen_.Identifier, context_.ProgramFolder)) {
        Error(*error);
        host_.Focus(TFocus::edIdentif);
        return;
    }
    // The rescan would replace the archive of an earlier monitoring: a No
    // keeps it, and the user chooses another identifier.
    if (ExistingArchive(os_.files, context_.ProgramFolder, screen_.Identifier)) {
        Show();
        const std::string question = FormatText(TranslateString(RS_ASK_REPLACE_ARCHIVE), {screen_.Identifier});
        if (host_.Message(question, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != mrYes) {
            host_.Focus(TFocus::edIdentif);
            return;
        }
    }
    context_.AppIdentifier = screen_.Identifier;
    screen_.Title = InstallingTitle();
    for (auto& box : screen_.Targets) box.Enabled = true;
    screen_.OtherPathsEnabled = screen_.Targets[tgOthers].Checked;
    screen_.Page = TPage::pnlTargets;
    screen_.BackEnabled = true;
    screen_.Status = TranslateString(RS_SELECT_TARGETS);
    UpdateTargetsPage();
}

void TWizard::ScanTargets() {
    if (State() == TWizardState::wsScanned) return;
    if (screen_.OtherPaths.empty()) {
        screen_.Targets[tgOthers].Checked = false;
        cbOthersClick();
    }
    if (screen_.Targets[tgOthers].Checked) {
        if (auto invalid = InvalidOtherPath(os_.files, screen_.OtherPaths)) {
            Error(TranslateString(RS_INV_PATH) + *invalid);
            host_.Focus(TFocus::edOthers);
            return;
        }
    }
    os_.files.SetCurrentDir(context_.ProgramFolder);

    TSettings& s = context_.Settings;
    const TSettings before = s;
    for (int t = 0; t < kTargetCount; ++t) s.*kTargetSettings[t] = screen_.Targets[t].Checked;
    s.ScanOtherPaths = StoredOtherPaths(screen_.OtherPaths);
    // The rescan, also one after a restart, scans what is stored now: a
    // scan whose targets could not be stored does not start.
    const std::string failure = SaveSettingsFailure(os_.registry, s, context_.ProgramFolder);
    if (!failure.empty()) {
        s = before;
        Error(failure);
        return;
    }

    screen_.NextEnabled = screen_.BackEnabled = false;
    for (auto& box : screen_.Targets) box.Enabled = false;
    screen_.OtherPathsEnabled = false;
    screen_.ExitCaption = TranslateString(RS_STOP);
    screen_.ProgressPosition = 0;
    // Set before the start, so that a close or Stop knows the scan runs.
    SetState(TWizardState::wsScanning);
    context_.SetupWindow = {0, 0, os_.clock.FileTimeNow()};
    StartWorker(workers_.NewScan(*this), &TWizard::ScanFinished);
    Show();
    host_.Focus(TFocus::btnExit);
}

void TWizard::ScanFinished(TSafeThread& worker) {
    // A stop requested at any moment, even after the worker's last test,
    // keeps the run stopped: the state moves only from the running one.
    TWizardState running = TWizardState::wsScanning;
    if (worker.WorkEnd() == TWorkEnd::Completed) {
        context_.WizardState.compare_exchange_strong(running, TWizardState::wsScanned);
    }
    const std::string failure = EndWorker(worker);
    if (!failure.empty()) {
        Error(FormatText(TranslateString(RS_SCAN_FAILED), {failure}));
        SetState(TWizardState::wsStopped);
    }
    if (State() == TWizardState::wsStopped) {
        DeleteSnapshots(os_.files, context_.ProgramFolder);
        screen_.Status = TranslateString(RS_SCAN_ABORTED);
        screen_.ProgressPosition = 0;
        screen_.BackEnabled = true;
    } else {
        EnterRunPage();
    }
    screen_.ExitCaption = TranslateString(RS_EXIT);
    Show();
}

void TWizard::Rescan() {
    os_.files.SetCurrentDir(context_.ProgramFolder);
    tree_.StartFill(false);
    host_.TreeReset();
    screen_.Page = TPage::pnlTree;
    screen_.NextEnabled = screen_.BackEnabled = false;
    screen_.ExitCaption = TranslateString(RS_STOP);
    screen_.SaveEnabled = screen_.PrintEnabled = screen_.ExportEnabled = false;
    DeleteRunAtLogon(os_);
    DeleteResumeMarker(os_.files, context_.ProgramFolder);
    if (context_.SetupWindow.Start != 0 && context_.SetupWindow.End == 0) {
        context_.SetupWindow.End = os_.clock.FileTimeNow();
    }
    SetState(TWizardState::wsRescanning);
    StartWorker(workers_.NewRescan(*this, tree_), &TWizard::RescanFinished);
    host_.TreeExpandRoot();
    Show();
    host_.Focus(TFocus::btnExit);
}

void TWizard::RescanFinished(TSafeThread& worker) {
    const std::string failure = EndWorker(worker);
    screen_.ProgressPosition = 0;
    if (!failure.empty()) {
        Error(FormatText(TranslateString(RS_SCAN_FAILED), {failure}));
        SetState(TWizardState::wsStopped);
    }
    if (State() == TWizardState::wsStopped) {
        screen_.Status = TranslateString(RS_RESCAN_ABORTED);
        DeleteSnapshots(os_.files, context_.ProgramFolder);
    } else {
        // More than the frame: changes were found, and they are kept at once.
        if (tree_.Lock().NodeCount() > 3) StartAutoSave();
        tree_.FinishFill();
        screen_.Status = ShownTreeStatus(RS_COMPLETE);
        host_.TreeFinishForViewing();
        screen_.PrintEnabled = screen_.ExportEnabled = true;
    }
    SetState(TWizardState::wsMonitored);
    screen_.NextEnabled = true;
    screen_.ExitCaption = TranslateString(RS_EXIT);
    Show();
}

void TWizard::StartOver() {
    if (!AskSaveChanges()) return;
    // The list shows the archive the rescan is storing.
    WaitForArchive();
    os_.files.SetCurrentDir(context_.ProgramFolder);
    screen_.Page = TPage::pnlFirst;
    FillArchiveList();
    if (screen_.InstallChosen) rbInstallClick();
    else rbUninstallClick();
    screen_.Identifier.clear();
    screen_.SetupPath.clear();
    screen_.Title = "Kelvora";
    UpdateFirstPage();
}

// ------------------------------------------------------------------ Back

void TWizard::btnBackClick() {
    if (!screen_.BackEnabled) return;
    if (screen_.Page == TPage::pnlTree && !screen_.InstallChosen) {
        BackToFirstPage();
        return;
    }
    if (screen_.Page != TPage::pnlTargets) return;
    GiveUpMonitoring(os_, context_.ProgramFolder);
    SetState(TWizardState::wsIdle);
    screen_.ProgressPosition = 0;
    screen_.NextEnabled = true;
    screen_.BackEnabled = false;
    screen_.Status = TranslateString(RS_ENTER_IDENTIFIER);
    screen_.Title = "Kelvora";
    screen_.Page = TPage::pnlFirst;
    Show();
}

// ------------------------------------------------------------- tree page

void TWizard::btnSaveClick() {
    if (screen_.SaveEnabled) SaveTree();
    Show();
}

void TWizard::BranchRemoved() {
    screen_.SaveEnabled = true;
    // The counts on the status line follow the tree.
    if (screen_.Page == TPage::pnlTree) {
        if (screen_.InstallChosen && State() == TWizardState::wsMonitored)
            screen_.Status = ShownTreeStatus(RS_COMPLETE);
        else if (!screen_.InstallChosen && worker_ == nullptr && State() != TWizardState::wsUninstalled)
            screen_.Status = TreePageStatus();
    }
    Show();
}

TTreeMenuState TWizard::TreeMenu(NodeId focused) {
    return TreeMenuFor(tree_.Lock(), focused, !screen_.InstallChosen, TreeEditable(), os_.files);
}

void TWizard::RemoveBranch(NodeId focused) {
    if (!TreeMenu(focused).RemoveEnabled) return;
    if (host_.Message(TranslateString(RS_ASK_REMOVE_BRANCH), TMsgDlgType::mtConfirmation,
                      {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != mrYes)
        return;
    if (tree_.Lock().RemoveBranch(focused)) BranchRemoved();
}

void TWizard::AddToIgnore(NodeId focused) {
    if (focused != kNoNode && TreeEditable()) AddToIgnoreList(tree_.Lock(), focused, context_.Settings);
}

bool TWizard::SaveTree() {
    WaitForArchive();
    TChgArchive archive(os_.files, os_.clock, ArchiveFileBase(context_.ProgramFolder, context_.AppIdentifier));
    try {
        SaveChangesTree(tree_, archive);
    } catch (const ArchiveError&) {
        // Kept in the tree, and Save stays (or becomes) available.
        screen_.SaveEnabled = true;
        Error(TranslateString(RS_ERR_SAVING));
        return false;
    } catch (const std::bad_alloc&) {
        screen_.SaveEnabled = true;
        Error(TranslateString(RS_ERR_SAVING));
        return false;
    }
    screen_.SaveEnabled = false;
    return true;
}

void TWizard::StartAutoSave() {
    WaitForArchive();
    TChgArchive archive(os_.files, os_.clock, ArchiveFileBase(context_.ProgramFolder, context_.AppIdentifier));
    try {
        BuildArchive(tree_, archive);
    } catch (const std::bad_alloc&) {
        screen_.SaveEnabled = true;
        Error(TranslateString(RS_ERR_SAVING));
        return;
    }
    writer_ = std::make_unique<TArchiveWriter>(dispatcher_, std::move(archive));
    writer_->SetOnTerminate([this](TSafeThread&) { ArchiveWritten(); });
    writer_->Start();
}

void TWizard::ArchiveWritten() {
    const bool failed = writer_->Failed();
    writer_.reset();
    if (failed) {
        // Kept in the tree, and Save becomes available.
        screen_.SaveEnabled = true;
        Error(TranslateString(RS_ERR_SAVING));
    }
    Show();
}

void TWizard::WaitForArchive() {
    if (writer_ != nullptr) dispatcher_.ServeUntil([this] { return writer_ == nullptr; });
}

bool TWizard::AskSaveChanges() {
    if (screen_.Page != TPage::pnlTree || !screen_.SaveEnabled) return true;
    TModalResult answer = mrNone;
    if (!Ask(RS_ASK_SAVE, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel}, mrYes, answer)) {
        return answer == mrNo;
    }
    return SaveTree();
}

// --------------------------------------------------------------- workers

std::string TWizard::ShownTreeStatus(const Message& next) {
    const TChangeCounts counts = CountChanges(tree_.Lock());
    return ChangeCountsText(counts) + "\n" + TranslateString(next);
}

void TWizard::ShowStatus(const std::string& status) {
    screen_.Status = status;
    Show();
}

void TWizard::StepProgress() {
    if (screen_.ProgressPosition < screen_.ProgressMax) ++screen_.ProgressPosition;
    Show();
}

void TWizard::StartWorker(std::unique_ptr<TSafeThread> worker, void (TWizard::*finished)(TSafeThread&)) {
    worker_ = std::move(worker);
    worker_->SetOnTerminate([this, finished](TSafeThread& ended) { (this->*finished)(ended); });
    worker_->Start();
}

std::string TWizard::EndWorker(TSafeThread& worker) {
    std::string failure;
    if (std::exception_ptr fatal = worker.FatalException()) {
        try {
            std::rethrow_exception(fatal);
        } catch (const std::exception& e) {
            failure = e.what();
        } catch (...) {
            failure = "?";
        }
    }
    if (worker_.get() == &worker) worker_.reset();
    return failure;
}

void TWizard::StopWorker() {
    SetState(TWizardState::wsStopped);
    worker_->Terminate();
}

void TWizard::GiveUpWorker() {
    if (worker_ == nullptr) return;
    worker_->Abandon();
    worker_.reset();
}

// --------------------------------------------------------------- dialogs

bool TWizard::Ask(const Message& question, TMsgDlgButtons buttons, TModalResult yes, TModalResult& answer) {
    Show();
    answer = host_.Message(TranslateString(question), TMsgDlgType::mtConfirmation, buttons);
    return answer == yes;
}

void TWizard::Error(const std::string& text) {
    Show();
    host_.Message(text, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

}  // namespace kelvora
