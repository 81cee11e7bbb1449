// Driving a window program in another process as a user would: its windows
// found by class and control identifier, texts set and read through the
// messages Windows carries between processes, clicks and keys posted, and
// list view cells read through memory lent in the other process. Every wait
// ends when its condition holds or fails after a time-out.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/gui_win.h"

namespace kelvora::e2e {

using test::ChildById;

// Waits until done() or timeoutMs has passed; answers done().
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(20);
    }
    return true;
}

inline std::string ClassOf(HWND hwnd) {
    char cls[128] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    return cls;
}

// WM_GETTEXT and WM_SETTEXT carry their text between processes.
inline std::string TextOf(HWND hwnd) {
    std::string text(static_cast<std::size_t>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    const LRESULT n = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(n));
    return text;
}

inline void SetTextOf(HWND hwnd, const std::string& text) {
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A click that may open a modal window: posted, so the caller is free to
// answer that window.
inline void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

inline void PostKey(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

// The visible top-level windows of class cls that the process owns.
inline std::vector<HWND> WindowsOf(DWORD process, const std::string& cls) {
    struct Search {
        DWORD process;
        const std::string* cls;
        std::vector<HWND> found;
    } search{process, &cls, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->process && IsWindowVisible(hwnd) && ClassOf(hwnd) == *s->cls) s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND WaitForWindowOf(DWORD process, const std::string& cls, int timeoutMs = 20000) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            auto all = WindowsOf(process, cls);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// The texts of the static controls of a window (a message box's message).
inline std::string StaticTexts(HWND window) {
    std::string texts;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassOf(c) != "Static") continue;
        std::string t = TextOf(c);
        if (t.empty()) continue;
        if (!texts.empty()) texts += "\n";
        texts += t;
    }
    return texts;
}

// A list view's cells, read with an LVITEM and a buffer lent in the list's
// process (the list view would read the caller's pointers in its own).
class RemoteList {
public:
    explicit RemoteList(HWND list) : list_(list) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr)
            memory_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteList() {
        if (memory_ != nullptr) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteList(const RemoteList&) = delete;
    RemoteList& operator=(const RemoteList&) = delete;

    int Count() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int item, int column) const {
        if (memory_ == nullptr) return "(no memory)";
        char* remote = static_cast<char*>(memory_);
        LVITEMA lvi{};
        lvi.iSubItem = column;
        lvi.pszText = remote + sizeof(LVITEMA);
        lvi.cchTextMax = static_cast<int>(kSize - sizeof(LVITEMA));
        WriteProcessMemory(process_, remote, &lvi, sizeof(lvi), nullptr);
        const auto n = static_cast<std::size_t>(
            SendMessageA(list_, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote)));
        std::string text(n, '\0');
        ReadProcessMemory(process_, remote + sizeof(LVITEMA), text.data(), n, nullptr);
        return text;
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int i = 0; i < Count(); ++i) cells.push_back(Cell(i, column));
        return cells;
    }
    int Selected() const {
        return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    // Focuses and selects a row as a click would.
    void Select(int item) const {
        if (memory_ == nullptr) return;
        LVITEMA lvi{};
        lvi.stateMask = lvi.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(process_, memory_, &lvi, sizeof(lvi), nullptr);
        SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory_));
    }

private:
    static constexpr std::size_t kSize = 4096;
    HWND list_;
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

}  // namespace kelvora::e2e
