#include "cli/console_win.h"

#include "platform/win32/date_time_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace kelvora {

namespace {

// The console calls the control handler on a thread of its own; these are
// all it may touch.
platform::Dispatcher* gDispatcher = nullptr;
std::atomic<bool>* gInterrupted = nullptr;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    gInterrupted->store(true);
    gDispatcher->Wake();
    return TRUE;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

int ConsoleWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 80;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

void Put(FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

WinConsole::WinConsole(platform::Dispatcher& dispatcher, std::atomic<bool>& interrupted)
    : terminal_(IsConsole(STD_OUTPUT_HANDLE)) {
    gDispatcher = &dispatcher;
    gInterrupted = &interrupted;
    SetConsoleCtrlHandler(OnControl, TRUE);
}

WinConsole::~WinConsole() {
    SetConsoleCtrlHandler(OnControl, FALSE);
    gDispatcher = nullptr;
    gInterrupted = nullptr;
}

void WinConsole::Write(std::string_view text) {
    ClearLine();
    Put(stdout, text);
}

void WinConsole::Error(std::string_view line) {
    ClearLine();
    Put(stderr, std::string(line) + "\n");
}

void WinConsole::Status(std::string_view text) {
    status_ = std::string(text);
    if (terminal_) {
        Draw();
    } else {
        // Standard output carries only the command's result (show's text).
        Put(stderr, status_ + "\n");
    }
}

void WinConsole::Progress(int position, int maximum) {
    position_ = position;
    maximum_ = maximum;
    if (terminal_) Draw();
}

void WinConsole::EndProgress() {
    ClearLine();
    status_.clear();
    position_ = maximum_ = 0;
}

// "[#####-----]  50% status", cut to the console's width so that it never
// wraps and "\r" can redraw it.
void WinConsole::Draw() {
    constexpr int kBar = 20;
    const int filled = maximum_ > 0 ? std::min(kBar, position_ * kBar / maximum_) : 0;
    const int percent = maximum_ > 0 ? std::min(100, position_ * 100 / maximum_) : 0;
    char head[40];
    std::snprintf(head, sizeof head, "[%s%s] %3d%% ", std::string(filled, '#').c_str(),
                  std::string(kBar - filled, '-').c_str(), percent);
    std::string line = head + status_;
    const auto width = static_cast<std::size_t>(std::max(10, ConsoleWidth() - 1));
    if (line.size() > width) line.resize(width);
    line.append(width - line.size(), ' ');
    Put(stdout, "\r" + line);
    lineShown_ = true;
}

void WinConsole::ClearLine() {
    if (!lineShown_) return;
    const auto width = static_cast<std::size_t>(std::max(10, ConsoleWidth() - 1));
    Put(stdout, "\r" + std::string(width, ' ') + "\r");
    lineShown_ = false;
}

std::optional<std::string> WinConsole::Ask(std::string_view question) {
    ClearLine();
    // A person at a console sees the question before answering; answers
    // read from a file or a pipe are read first, so that input that holds
    // none (NUL, an empty file) ends without a question left on the screen.
    const bool typed = IsConsole(STD_INPUT_HANDLE);
    if (typed) Put(stdout, std::string(question) + " ");
    char buffer[256];
    if (std::fgets(buffer, sizeof buffer, stdin) == nullptr) {
        if (typed) Put(stdout, "\n");
        return std::nullopt;
    }
    std::string answer(buffer);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r' || answer.back() == ' ')) {
        answer.pop_back();
    }
    if (!typed) Put(stdout, std::string(question) + " " + answer + "\n");
    return answer;
}

std::string WinConsole::DateTimeText(double when, bool omitMidnight) {
    return platform::win32::LocalDateTimeText(when, omitMidnight);
}

}  // namespace kelvora
