// The Windows console of kelvora-cli: standard output and error, a status
// line with a progress bar while long work runs on a terminal (plain status
// lines on standard error when the output goes to a file or a pipe), questions read from
// standard input, dates in the user's format, and Ctrl+C as a stop request.
#pragma once

#include <atomic>
#include <string>

#include "cli/cli_console.h"
#include "platform/dispatcher.h"

namespace kelvora {

class WinConsole final : public ICliConsole {
public:
    // Ctrl+C and Ctrl+Break set interrupted and wake dispatcher from the
    // console's control thread, for as long as this object lives.
    WinConsole(platform::Dispatcher& dispatcher, std::atomic<bool>& interrupted);
    ~WinConsole() override;
    WinConsole(const WinConsole&) = delete;
    WinConsole& operator=(const WinConsole&) = delete;

    void Write(std::string_view text) override;
    void Error(std::string_view line) override;
    void Status(std::string_view text) override;
    void Progress(int position, int maximum) override;
    void EndProgress() override;
    std::optional<std::string> Ask(std::string_view question) override;
    std::string DateTimeText(double when, bool omitMidnight) override;

private:
    void Draw();
    void ClearLine();

    bool terminal_ = false;
    bool lineShown_ = false;  // a status line is on the terminal
    std::string status_;
    int position_ = 0;
    int maximum_ = 0;
};

}  // namespace kelvora
