// BaseScanThread: the base of the two scan workers (ScanThread before an
// installation, ReScanThread after it). It reports status text and progress
// steps to the main thread and holds the snapshot being written.
#pragma once

#include <optional>
#include <string>

#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "scan/db_tree.h"
#include "scan/scan_env.h"
#include "settings/app_context.h"
#include "worker/safe_thread.h"

namespace kelvora {

// Where a scan reports, on the main thread: the window's status label and
// progress bar (step 1), or a console or a test.
class IScanProgress {
public:
    virtual ~IScanProgress() = default;
    virtual void ShowStatus(const std::string& status) = 0;
    virtual void StepProgress() = 0;
};

class BaseScanThread : public TSafeThread {
public:
    // The run's configuration (settings and fixed folders) is copied from
    // context here, on the main thread; afterwards the worker shares only
    // context's WizardState, which it reads. context, platform, dispatcher and progress
    // outlive the worker.
    BaseScanThread(AppContext& context, platform::Platform& platform, platform::Dispatcher& dispatcher,
                   IScanProgress& progress)
        : TSafeThread(dispatcher), config_(ScanConfig::Of(context)),
          wizardState_(context.WizardState), platform_(platform), progress_(progress) {}

    // The text that ShowStatus shows (written by the worker).
    std::string Status;
    // The snapshot being written, while there is one.
    std::optional<TDBTree> DBTree;

protected:
    // Worker: shows Status on the main thread and waits until it is shown.
    void ShowStatus();
    // Worker: one progress step on the main thread; nothing once the
    // terminated flag is set, so the bar never moves after a stop request.
    void StepProgress();

    // The environment of the run, for Execute.
    ScanEnv Env() { return {platform_.registry, platform_.files, config_, wizardState_, *this}; }

    const ScanConfig config_;
    const std::atomic<TWizardState>& wizardState_;
    platform::Platform& platform_;

private:
    IScanProgress& progress_;
};

}  // namespace kelvora
