// What the scanning engine works with: the platform's registry and file
// system, the application context (settings, folders, wizard state) and the
// worker that runs it (stop requests and pause points). Status texts and
// progress steps leave the engine through IScanReporter.
#pragma once

#include <string>

#include "platform/platform.h"
#include "scan/worker_control.h"
#include "settings/app_context.h"

namespace kelvora {

struct ScanEnv {
    platform::Registry& registry;
    platform::FileSystem& files;
    AppContext& context;
    IWorkerControl& worker;

    bool Stopped() const { return context.WizardState.load() == TWizardState::wsStopped; }
};

// The main window's status label and progress bar, as a scan sees them.
class IScanReporter {
public:
    virtual ~IScanReporter() = default;
    virtual void ShowStatus(const std::string& status) = 0;
    virtual void StepProgress() = 0;
};

}  // namespace kelvora
