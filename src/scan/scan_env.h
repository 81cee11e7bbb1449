// What the scanning engine works with: the platform's registry and file
// system, the application context (settings, folders, wizard state) and the
// worker that runs it (stop requests and pause points).
#pragma once

#include "platform/platform.h"
#include "scan/worker_control.h"
#include "settings/app_context.h"

namespace kelvora {

struct ScanEnv {
    platform::Registry& registry;
    platform::FileSystem& files;
    AppContext& context;
    IWorkerControl& worker;
    // The user's separators in the time-and-size texts of files, read once
    // when the run starts.
    platform::DateTimeSeparators separators{};

    bool Stopped() const { return context.WizardState.load() == TWizardState::wsStopped; }
};

}  // namespace kelvora
