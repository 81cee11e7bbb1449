// Helpers for the window tests: a host window, message pumping, clicks,
// keys and text sent as the messages Windows would send, the clipboard, list
// view cells, and the exceptions that reach a window procedure.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/framework/window.h"

namespace kelvora::test {

// A top-level window that holds the control under test.
class HostWindow : public ui::Window {
public:
    bool Create(int width = 640, int height = 480) {
        CreateParams p;
        p.ClassName = "KelvoraTestHost";
        p.Title = "Kelvora test";
        p.Bounds = {20, 20, width, height};
        p.Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;
        return ui::Window::Create(p);
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

// Types text into a control, a WM_CHAR per byte.
inline void Type(HWND hwnd, std::string_view text) {
    for (char c : text) SendMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// Puts text on the clipboard, owned by owner; false when it is not free.
inline bool PutOnClipboard(HWND owner, const char* text) {
    std::size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    return true;
}

// What a list view shows in a cell (a virtual one asks its owner for it).
inline std::string ListViewCell(HWND list, int row, int column = 0) {
    char text[260] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

// The format flags of a list view's column header (HDF_SORTUP, HDF_RIGHT ...).
inline int HeaderFormat(HWND list, int column) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(ListView_GetHeader(list), HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item));
    return item.fmt;
}

// Collects the messages of the exceptions that reach a window procedure
// while it lives, then puts the reporter it replaced back.
class CaughtExceptions {
public:
    CaughtExceptions()
        : previous_(ui::SetUnhandledExceptionReporter([this](const char* what) { messages.emplace_back(what); })) {}
    ~CaughtExceptions() { ui::SetUnhandledExceptionReporter(std::move(previous_)); }
    CaughtExceptions(const CaughtExceptions&) = delete;
    CaughtExceptions& operator=(const CaughtExceptions&) = delete;

    std::vector<std::string> messages;

private:
    std::function<void(const char*)> previous_;
};

inline std::string ClassName(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

using ui::ChildById;

inline std::string WindowText(HWND hwnd) {
    char text[1024] = {};
    SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The texts of a window's static controls, joined: what a message box says.
inline std::string StaticText(HWND window) {
    std::string text;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM out) -> BOOL {
            if (ClassName(child) == "Static") *reinterpret_cast<std::string*>(out) += WindowText(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
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

}  // namespace kelvora::test
