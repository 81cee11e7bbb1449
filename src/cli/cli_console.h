// What kelvora-cli needs of its console, and everything a command works with.
// The Windows console implements the console; the tests record it.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "settings/app_context.h"

namespace kelvora {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the uninstall had errors, or the work was stopped
inline constexpr int kExitUsage = 2;   // bad usage or bad input

class ICliConsole {
public:
    virtual ~ICliConsole() = default;
    // Standard output, as is.
    virtual void Write(std::string_view text) = 0;
    // One line on standard error.
    virtual void Error(std::string_view line) = 0;
    // The status text and the progress of long work (a bar on a terminal,
    // plain lines otherwise); EndProgress closes the display.
    virtual void Status(std::string_view text) = 0;
    virtual void Progress(int position, int maximum) = 0;
    virtual void EndProgress() = 0;
    // Asks the user; nothing when there is no one to ask (no terminal, end
    // of input).
    virtual std::optional<std::string> Ask(std::string_view question) = 0;
    // A date and time (days since 30 December 1899) in the user's format: the
    // short date, a space and the long time; the time is left out at
    // midnight when omitMidnight is set.
    virtual std::string DateTimeText(double when, bool omitMidnight) = 0;
};

struct CliEnv {
    platform::Platform& os;
    platform::Dispatcher& dispatcher;
    AppContext& context;  // ProgramFolder set, settings loaded
    ICliConsole& console;
    // The window program's full path, for the run-at-logon value.
    std::string WindowProgram;
    // Set by Ctrl+C, which then wakes the dispatcher; a running scan or
    // uninstall stops at its next pause point.
    std::atomic<bool>& interrupted;
    // Whether the process has an administrator's full rights; without them
    // scan, rescan and uninstall refuse to start (cli/elevation.h).
    bool Elevated = true;
    // How long the quiet check waits between its scan and its rescan.
    std::chrono::milliseconds QuietTime{5000};
};

}  // namespace kelvora
