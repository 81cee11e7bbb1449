// What the scanning engine works with: the platform's registry and file
// system, the configuration of the run, the wizard state and the worker that
// runs it (stop requests and pause points).
#pragma once

#include <atomic>
#include <algorithm>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "settings/app_context.h"
#include "settings/settings.h"
#include "worker/worker_control.h"

namespace kelvora {

// The configuration of one scan run, copied when its worker is created: the
// options dialog may edit the live settings while a worker runs, and the run
// goes on with the ones it started with.
struct ScanConfig {
    TSettings Settings;
    std::string ProgramFolder;    // where the snapshot files are, no trailing backslash
    std::string WindowsFolder;
    std::string SystemDriveRoot;  // "C:\"
    std::string CurrentUserSid;   // HKEY_CURRENT_USER's name under HKEY_USERS
    TSetupWindow SetupWindow;
    // The application monitored: its changes teach the machine's activity
    // under this name (known_activity.h).
    std::string Identifier;
    // The monitoring registered the program's logon task (to resume after a
    // restart): what that changed in the Task Scheduler is its own doing.
    bool LogonTaskRegistered = false;
    // The threads the run walks with: the setting, at most one per core.
    unsigned Workers = 1;

    static ScanConfig Of(const AppContext& context) {
        return {context.Settings,       context.ProgramFolder, context.WindowsFolder,
                context.SystemDriveRoot, context.CurrentUserSid, context.SetupWindow,
                context.AppIdentifier,  context.LogonTaskRegistered, WorkersFor(context.Settings.ScanWorkers)};
    }

    // The setting (whatever a hand-edited registry holds) kept between one
    // thread and the processor's cores.
    static unsigned WorkersFor(std::int32_t setting) {
        const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
        return setting < 1 ? 1U : std::min(static_cast<unsigned>(setting), cores);
    }
};

struct ScanEnv {
    platform::Registry& registry;
    platform::FileSystem& files;
    const ScanConfig& config;
    // The wizard state, which the main thread sets to wsStopped before a
    // stop request of the user's.
    const std::atomic<TWizardState>& wizardState;
    IWorkerControl& worker;
    // The user's separators in the time-and-size texts of files, read once
    // when the run starts.
    platform::DateTimeSeparators separators{};

    bool Stopped() const { return wizardState.load() == TWizardState::wsStopped; }

    // The same run, for a task that polls a control of its own.
    ScanEnv For(IWorkerControl& control) const {
        return {registry, files, config, wizardState, control, separators};
    }
};

}  // namespace kelvora
