// The process-wide state that the engine reads: settings, fixed folders, the
// wizard state and the counts of a loaded archive. One object of the
// application owns it and passes it by reference; only the main thread
// writes the settings, and never while a worker runs.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace kelvora {

// The wizard's and the running worker's common state (one byte, read by the
// workers without locks).
enum class TWizardState : std::uint8_t {
    wsIdle = 0,
    wsBadArchive = 1,
    wsLoading = 2,
    wsScanning = 3,
    wsScanned = 4,
    wsSetupRunning = 5,
    wsRescanning = 6,
    wsStopped = 7,
    wsUninstalling = 8,
    wsResumed = 9,
    wsUninstalled = 10,
    wsMonitored = 11,
};

// When the setup of a monitoring ran: from just before its start to the end
// of its whole process tree, as FILETIMEs (100-nanosecond steps since 1601,
// UTC). 0 where it is not known (the setup was started by other means, or
// has not ended).
struct TSetupWindow {
    std::uint64_t Start = 0;
    std::uint64_t End = 0;
    // When the first scan began (0: not known). A file cannot have been made
    // before it and still be new to the rescan: such a time was stamped (an
    // installer unpacking with the times of its archive) and tells nothing.
    std::uint64_t Scanned = 0;

    bool Known() const { return Start != 0 && End != 0 && Start <= End; }
};

struct AppContext {
    TSettings Settings;
    // The program's folder (also the current directory), without a trailing
    // backslash; the Windows folder; the root of the Windows folder's drive
    // ("C:\").
    std::string ProgramFolder;
    std::string WindowsFolder;
    std::string SystemDriveRoot;
    // The name of HKEY_CURRENT_USER's key under HKEY_USERS (the user's SID).
    std::string CurrentUserSid;
    // The run of the setup being monitored.
    TSetupWindow SetupWindow;
    // The monitoring registered the program to start at the next logon.
    bool LogonTaskRegistered = false;
    std::atomic<TWizardState> WizardState{TWizardState::wsIdle};
    // Per change kind (index 1 to 18) the number of records a loaded archive
    // placed in the tree; the uninstaller's progress maximum.
    std::array<int, 19> LoadedCounts{};
    // The identifier of the monitored application worked on.
    std::string AppIdentifier;
};

}  // namespace kelvora
