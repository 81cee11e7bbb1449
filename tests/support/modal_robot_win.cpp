#include "support/modal_robot_win.h"

#include <gtest/gtest.h>

#include "support/gui_win.h"

namespace kelvora::test {

namespace {

// One robot at a time on a thread: the hook and the timers find it here.
thread_local ModalRobot* g_active = nullptr;

bool IsTopLevel(HWND hwnd) { return (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0; }

}  // namespace

ModalRobot::ModalRobot(std::string what, Match match, std::vector<Step> steps, UINT timeoutMs)
    : what_(std::move(what)), match_(std::move(match)), steps_(std::move(steps)), timeoutMs_(timeoutMs) {
    if (g_active != nullptr) {
        ADD_FAILURE() << "a modal robot is already armed on this thread";
        return;
    }
    g_active = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &Hook, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook_, nullptr) << "SetWindowsHookEx failed: " << GetLastError();
    timeoutTimer_ = SetTimer(nullptr, 0, timeoutMs_, &TimeOut);
}

ModalRobot::~ModalRobot() {
    if (g_active != this) return;
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    if (stepTimer_ != 0) KillTimer(nullptr, stepTimer_);
    if (timeoutTimer_ != 0) KillTimer(nullptr, timeoutTimer_);
    g_active = nullptr;
    if (timedOut_) return;  // already reported
    if (window_ == nullptr) ADD_FAILURE() << "no " << what_ << " showed";
    else if (next_ < steps_.size())
        ADD_FAILURE() << what_ << " closed before its step " << next_ + 1 << " of " << steps_.size() << " ran";
}

LRESULT CALLBACK ModalRobot::Hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_active != nullptr) g_active->Seen(*reinterpret_cast<const CWPRETSTRUCT*>(lp));
    return CallNextHookEx(nullptr, code, wp, lp);
}

void ModalRobot::Seen(const CWPRETSTRUCT& m) {
    if (m.message == WM_CREATE && IsTopLevel(m.hwnd)) opened_.push_back(m.hwnd);
    // ShowWindow sends WM_SHOWWINDOW; SetWindowPos (menus) only the
    // position change with SWP_SHOWWINDOW. A standard dialog shows once its
    // WM_INITDIALOG has returned.
    bool shows = (m.message == WM_SHOWWINDOW && m.wParam != 0) ||
                 (m.message == WM_WINDOWPOSCHANGED &&
                  (reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_SHOWWINDOW) != 0);
    if (!shows || window_ != nullptr || !IsTopLevel(m.hwnd) || !match_(m.hwnd)) return;
    window_ = m.hwnd;
    // A thread timer's WM_TIMER is dispatched by whichever loop runs, its
    // procedure called although the message has no window.
    if (!steps_.empty()) stepTimer_ = SetTimer(nullptr, 0, 0, &RunStep);
}

void CALLBACK ModalRobot::RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ModalRobot* self = g_active;
    if (self == nullptr || id != self->stepTimer_) return;
    self->stepTimer_ = 0;
    if (!IsWindow(self->window_)) return;  // the destructor reports the steps left
    self->steps_[self->next_++](self->window_);
    // WM_TIMER comes only when no posted message waits: the next step sees
    // what this one posted handled.
    if (self->next_ < self->steps_.size() && IsWindow(self->window_))
        self->stepTimer_ = SetTimer(nullptr, 0, 0, &RunStep);
}

void CALLBACK ModalRobot::TimeOut(HWND, UINT, UINT_PTR id, DWORD) {
    ModalRobot* self = g_active;
    if (self == nullptr || id != self->timeoutTimer_) {
        KillTimer(nullptr, id);
        return;
    }
    if (!self->timedOut_) {
        self->timedOut_ = true;
        ADD_FAILURE() << self->what_ << (self->window_ == nullptr ? " never showed" : " still open") << " after "
                      << self->timeoutMs_ << " ms (" << self->next_ << " of " << self->steps_.size()
                      << " steps ran); closing the windows the test opened";
    }
    // Newest first: a message box that a dialog opened goes before it.
    EndMenu();
    for (auto it = self->opened_.rbegin(); it != self->opened_.rend(); ++it)
        if (IsWindow(*it) && IsWindowVisible(*it)) PostMessageA(*it, WM_CLOSE, 0, 0);
    // Again each second, until the loop has ended.
    self->timeoutTimer_ = SetTimer(nullptr, id, 1000, &TimeOut);
}

ModalRobot::Match WindowOfClass(std::string cls) {
    return [cls = std::move(cls)](HWND hwnd) { return ClassName(hwnd) == cls; };
}

ModalRobot::Match DialogOwnedBy(HWND owner) {
    return [owner](HWND hwnd) { return WindowOfClass("#32770")(hwnd) && GetWindow(hwnd, GW_OWNER) == owner; };
}

void PressKey(HWND window, WPARAM vk) {
    HWND focus = GetFocus();
    HWND target = focus != nullptr && (focus == window || IsChild(window, focus)) ? focus : window;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace kelvora::test
