// Exit (Stop while a worker runs) and the questions of the close.
#include "monitoring/monitoring.h"
#include "scan/db_tree.h"
#include "translation/messages.h"
#include "workflow/wizard.h"

namespace kelvora {

void TWizard::btnExitClick() {
    const TWizardState state = State();
    if (state == TWizardState::wsLoading && worker_ != nullptr) {
        // A load is stopped without a question, after its current record.
        worker_->Terminate();
        return;
    }
    if ((state == TWizardState::wsScanning || state == TWizardState::wsUninstalling) && worker_ != nullptr) {
        worker_->Pause();
        // The worker may have ended while it was asked to halt: its handler
        // has run, and there is nothing left to stop.
        if (worker_ == nullptr) return;
        TModalResult answer = mrNone;
        const Message& question = state == TWizardState::wsScanning ? RS_ABORT_SCANNING : RS_STOP_UNINSTALL;
        if (Ask(question, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, mrYes, answer)) StopWorker();
        worker_->Resume();
        Show();
        return;
    }
    if (!AskSaveChanges()) {
        Show();
        return;
    }
    // The close asks "Save the changes ?" only once.
    saveAsked_ = true;
    host_.CloseWindow();
    saveAsked_ = false;
}

bool TWizard::FormCloseQuery() {
    // An archive being stored is on disk before anything is asked; a
    // failure to store it leaves Save available, and the close asks.
    WaitForArchive();
    const TWizardState state = State();
    TModalResult answer = mrNone;
    const TMsgDlgButtons yesNo{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
    const TMsgDlgButtons yesNoCancel{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
    if (state == TWizardState::wsLoading && worker_ != nullptr) {
        // The loader is stopped and waited for.
        GiveUpWorker();
        return true;
    }
    if ((state == TWizardState::wsUninstalling || state == TWizardState::wsScanning ||
         state == TWizardState::wsRescanning) &&
        worker_ != nullptr) {
        worker_->Pause();
        // It ended while it was asked to halt: the close meets a new state.
        if (worker_ == nullptr) return FormCloseQuery();
        const Message& question = state == TWizardState::wsUninstalling ? RS_STOP_UNINSTALL
                                  : state == TWizardState::wsScanning   ? RS_ABORT_SCANNING
                                                                        : RS_ASK_CANCEL_ALL;
        if (!Ask(question, yesNo, mrYes, answer)) {
            worker_->Resume();
            Show();
            return false;
        }
        // Given up: it stops at its next test and ends with the program.
        if (state == TWizardState::wsRescanning) StopWorker();
        GiveUpWorker();
        // Without a resume marker the snapshots of a scan given up serve
        // nothing.
        if (state != TWizardState::wsUninstalling) DeleteSnapshots(os_.files, context_.ProgramFolder);
        return true;
    }
    if (state == TWizardState::wsResumed || state == TWizardState::wsSetupRunning ||
        (state == TWizardState::wsScanned && screen_.Page == TPage::pnlRun && screen_.RunMode == TRunMode::rbUna)) {
        Ask(RS_ASK_CANCEL_MONIT, yesNoCancel, mrYes, answer);
        if (answer == mrCancel) return false;
        if (answer == mrYes) GiveUpMonitoring(os_, context_.ProgramFolder);
        return true;
    }
    const bool goesAhead = saveAsked_ || AskSaveChanges();
    Show();
    return goesAhead;
}

}  // namespace kelvora
