// Helpers for the window tests: a host window, message pumping, and clicks
// and keys sent as the messages Windows would send.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "ui/framework/window.h"

namespace kelvora::ui::test {

// A top-level window that holds the control under test.
class HostWindow : public Window {
public:
    bool Create(int width = 640, int height = 480) {
        CreateParams p;
        p.ClassName = "KelvoraTestHost";
        p.Title = "Kelvora test";
        p.Bounds = {20, 20, width, height};
        p.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;
        return Window::Create(p);
    }
};

// Runs every message waiting for this thread (sent and posted).
inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pumps until done() or the time is up; answers done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

inline void Click(HWND hwnd, int x, int y, bool right = false) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    SendMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    SendMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    Pump();
}

inline void DoubleClick(HWND hwnd, int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, at);
    SendMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, at);
    Pump();
}

inline void Key(HWND hwnd, WPARAM vk) {
    SendMessageA(hwnd, WM_KEYDOWN, vk, 1);
    SendMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
    Pump();
}

// For a second thread while the test thread shows a modal window: the
// visible top-level window of class cls, waited for up to five seconds.
inline HWND WaitForWindow(const char* cls) {
    for (int i = 0; i < 500; ++i) {
        HWND hwnd = FindWindowA(cls, nullptr);
        if (hwnd != nullptr && IsWindowVisible(hwnd)) return hwnd;
        Sleep(10);
    }
    return nullptr;
}

// The descendant of parent with the control identifier id (nullptr for none).
inline HWND ChildById(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// When KELVORA_SHOTS is set (tools/screenshots.sh), asks the script outside
// Wine to photograph the screen: writes <dir>/<name>.ready and pumps
// messages until <dir>/<name>.done appears. Does nothing otherwise.
inline void Screenshot(const char* name) {
    char dir[MAX_PATH] = {};
    if (GetEnvironmentVariableA("KELVORA_SHOTS", dir, sizeof(dir)) == 0) return;
    std::string base = std::string(dir) + "\\" + name;
    HANDLE ready = CreateFileA((base + ".ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    std::string done = base + ".done";
    PumpUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
}

}  // namespace kelvora::ui::test
