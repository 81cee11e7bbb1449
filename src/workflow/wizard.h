// TWizard: the decisions of the main window's wizard on the install and the
// uninstall paths: which case of Next, Back and Exit applies, what the
// completion handlers of the scans, the archive loader and the uninstaller
// do, which controls are enabled, which status text shows, and
// which question the close asks. It keeps what the window shows in a
// TWizardScreen and reaches the window only through IWizardHost, so every
// transition runs natively in the tests. Everything here runs on the window
// thread; the workers report back through the dispatcher.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/platform.h"
#include "scan/base_scan_thread.h"
#include "settings/app_context.h"
#include "translation/messages.h"
#include "uninstall/uninstall_log.h"
#include "worker/safe_thread.h"
#include "workflow/scan_workers.h"
#include "workflow/tree_menu.h"
#include "workflow/wizard_host.h"
#include "workflow/wizard_screen.h"

namespace kelvora {

class TWizard final : private IScanProgress,
                      private ILoadProgress,
                      private IUninstallView,
                      private IRemoveSharedQuestion {
public:
    // programFile: the program's full path, for the run-at-logon value.
    // Everything passed in outlives the wizard.
    TWizard(AppContext& context, platform::Platform& os, platform::Dispatcher& dispatcher, ChangesTree& tree,
            IWizardHost& host, IWorkerFactory& workers, std::string programFile);
    // A worker still running is stopped and waited for; its completion
    // handler does not run.
    ~TWizard() override;
    TWizard(const TWizard&) = delete;
    TWizard& operator=(const TWizard&) = delete;

    const TWizardScreen& Screen() const { return screen_; }
    // A scan runs, or the archive a rescan found is being stored.
    bool WorkerRunning() const { return worker_ != nullptr || writer_ != nullptr; }

    // The window's creation, once the settings are loaded: the target boxes
    // show the settings; then either the monitoring that the resume marker
    // names waits for its rescan on the tree page, or the list of monitored
    // applications is filled.
    void FormCreate();

    // First page.
    void rbInstallClick();
    void rbUninstallClick();
    void edIdentifChange(std::string_view text);
    void lvQorFilesSelectItem();
    void btnRenameClick();
    // The list's order by a column (the identifiers by the collation, then
    // the dates created and last used, the uses): below zero when x comes
    // before y, ascending.
    int CompareListRows(const TArchiveRow& x, const TArchiveRow& y, int column) const;
    void btnRemoveClick();
    void dndFirstDnDItem(std::string_view path);
    // Files dropped on the window, once each in the order of the drop (of
    // several, the last counts): the first page and the run page take them.
    void FilesDropped(const std::vector<std::string>& files);
    // The language changed (in the options dialog, which the first page
    // opens): the first page's status line and Exit speak it.
    void LanguageChanged();

    // Targets page: the user set a box to checked.
    void TargetClick(TTarget target, bool checked);
    void edOthersChange(std::string_view text);

    // Run page.
    void RunModeClick(TRunMode mode);
    void edSetupPathChange(std::string_view text);
    void btnBrowseClick();
    void dndSetupItem(std::string_view path);

    // The buttons below the pages.
    void btnNextClick();
    void btnBackClick();
    void btnExitClick();

    // Tree page.
    void btnSaveClick();
    // The user removed a branch of the tree: there is something to save.
    void BranchRemoved();
    // The tree's context menu for the focused node (or kNoNode).
    TTreeMenuState TreeMenu(NodeId focused);
    // "Remove branch" (or Delete) on the focused node: when the menu allows
    // it and the user confirms, the branch goes and the tree is unsaved.
    void RemoveBranch(NodeId focused);
    // "Add to ignore list", while no worker reads the lists.
    void AddToIgnore(NodeId focused);
    // Shows or hides the archive's changes that the ignore lists hold: the
    // archive is loaded again (the check marks set meanwhile go with it).
    void cbShowIgnoredClick(bool checked);
    // The tree may be edited (no worker fills or rewrites it).
    bool TreeEditable() const { return worker_ == nullptr; }

    // The close's questions. True when the close goes ahead; a worker that
    // it gives up has been stopped and waited for by then.
    bool FormCloseQuery();

    // Whether a typed character is kept: edIdentif drops \ / : * ? " < > |
    // and a blank typed into the empty field; edSetupPath drops * and ? and
    // a blank typed into the empty field.
    static bool IdentifierKeyAllowed(std::string_view current, char c);
    static bool SetupPathKeyAllowed(std::string_view current, char c);

    // The lines of the last uninstall run that passed the LogLevel mask.
    const TUninstallLog& Log() const { return log_; }

private:
    // IScanProgress and IUninstallView, from the workers through the
    // dispatcher.
    void ShowStatus(const std::string& status) override;
    void StepProgress() override;
    // ILoadProgress.
    void SetProgress(int percent) override;
    // IUninstallView.
    void SetProgressMax(int maximum) override;
    void ShowLogLine(const std::string& line, std::int32_t level) override;
    // IRemoveSharedQuestion.
    int AskRemoveShared(const std::string& fileName, const std::string& folder) override;

    TWizardState State() const { return context_.WizardState.load(); }
    void SetState(TWizardState state) { context_.WizardState.store(state); }
    void Show() { host_.ShowScreen(screen_); }
    bool Ask(const Message& question, TMsgDlgButtons buttons, TModalResult yes, TModalResult& answer);
    void Error(const std::string& text);
    std::string InstallingTitle() const;
    // The status line under a tree just shown: the counts of the setup's
    // changes and of activity on the first line, what to do next below.
    std::string ShownTreeStatus(const Message& next);

    void UpdateFirstPage();
    int UpdateTargetsPage();
    void cbOthersClick();
    void FillArchiveList();

    // The cases of Next.
    void Begin();
    void ScanTargets();
    void StartOver();
    void Rescan();
    void Launch();
    // The setup program that Launch started ended with exitCode.
    void SetupEnded(std::uint32_t exitCode);
    void ScanFinished(TSafeThread& worker);
    void RescanFinished(TSafeThread& worker);
    void EnterRunPage();
    void ResumedStart();

    // The uninstall path (wizard_uninstall.cpp).
    void Open();
    void Load();
    void LoadFailed();
    std::string TreePageStatus();
    void Uninstall();
    void BackToFirstPage();
    void LoadFinished(TSafeThread& worker);
    void UninstallFinished(TSafeThread& worker);
    std::string UninstallingTitle() const;

    // Saves the tree as the archive of AppIdentifier; false (reported) when
    // it could not be stored, which ends the action that asked.
    bool SaveTree();
    // The save after a rescan: the archive is built here and stored on a
    // thread of its own (ArchiveWritten reports a failure).
    void StartAutoSave();
    void ArchiveWritten();
    // Serves the dispatcher until an archive being stored is on disk.
    void WaitForArchive();
    // Asks "Save the changes ?" when the tree page shows unsaved changes;
    // false when the action that asks must end (Cancel, or a failed save).
    bool AskSaveChanges();
    // Starts a worker with its completion handler.
    void StartWorker(std::unique_ptr<TSafeThread> worker, void (TWizard::*finished)(TSafeThread&));
    // Takes the worker that ended; answers its fatal error's text, if any.
    std::string EndWorker(TSafeThread& worker);
    // Stops and waits for the running worker without its handler.
    void GiveUpWorker();
    // The user's stop, normally while the worker is paused: WizardState :=
    // wsStopped, then the terminate request; the worker stops at its next
    // test once resumed.
    void StopWorker();

    AppContext& context_;
    platform::Platform& os_;
    platform::Dispatcher& dispatcher_;
    ChangesTree& tree_;
    IWizardHost& host_;
    IWorkerFactory& workers_;
    const std::string programFile_;
    TWizardScreen screen_;
    std::unique_ptr<TSafeThread> worker_;
    std::unique_ptr<TArchiveWriter> writer_;
    // The uninstall run's log and the LogLevel it started with.
    TUninstallLog log_;
    std::int32_t logLevel_ = 0;
    // Exit asked "Save the changes ?" already: the close does not ask again.
    bool saveAsked_ = false;
    // Archive loads place the changes that the ignore lists hold.
    bool showIgnored_ = false;
    // The setup program that Launch started, watched until it ends; the
    // token tells a report of its end, queued for the window thread, whether
    // this watch (and this wizard) still waits for it.
    std::unique_ptr<platform::Shell::Watch> setupWatch_;
    std::shared_ptr<int> setupToken_;
};

}  // namespace kelvora
