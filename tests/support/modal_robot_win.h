// Drives a modal window that the test thread shows itself. Every modal loop
// here (the program's dialogs, the standard dialogs, the menu loop) runs on
// the thread that opened it, so a thread hook sees the window show, and a
// thread timer runs the robot's steps from inside that loop: no second
// thread, no polling. When the window is not gone in time the robot fails
// the test and closes every window the thread opened meanwhile (and any
// menu), which ends the modal loop instead of leaving it running.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvora::test {

class ModalRobot {
public:
    using Match = std::function<bool(HWND)>;
    using Step = std::function<void(HWND window)>;
    // Generous: it only matters when something has gone wrong.
    static constexpr UINT kTimeoutMs = 60000;

    // Arms the robot on this thread. The first top-level window that shows
    // and matches is its window (what names it in failures); the steps then
    // run on it in order, each once the messages the one before posted have
    // been handled. Fails the test when no such window shows, when it closes
    // before every step has run, or when it is still open after timeoutMs.
    ModalRobot(std::string what, Match match, std::vector<Step> steps, UINT timeoutMs = kTimeoutMs);
    ~ModalRobot();
    ModalRobot(const ModalRobot&) = delete;
    ModalRobot& operator=(const ModalRobot&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD);
    static void CALLBACK TimeOut(HWND, UINT, UINT_PTR id, DWORD);
    void Seen(const CWPRETSTRUCT& message);

    std::string what_;
    Match match_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    UINT timeoutMs_;
    HWND window_ = nullptr;
    std::vector<HWND> opened_;  // the top-level windows created since arming
    HHOOK hook_ = nullptr;
    UINT_PTR stepTimer_ = 0;
    UINT_PTR timeoutTimer_ = 0;
    bool timedOut_ = false;
};

// Matchers: a window of a class; a standard dialog (#32770) of an owner.
ModalRobot::Match WindowOfClass(std::string cls);
ModalRobot::Match DialogOwnedBy(HWND owner);

// Posts a key press as the keyboard would, so that the modal loop's
// IsDialogMessage sees it: to the focused control of window (the window
// itself when none of its controls has the focus).
void PressKey(HWND window, WPARAM vk);

}  // namespace kelvora::test
