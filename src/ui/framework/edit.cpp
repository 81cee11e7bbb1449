#include "ui/framework/edit.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/win32/wide_text_win.h"

namespace kelvora::ui {

bool Edit::Create(HWND parent, int id, std::string_view text, RECT bounds, DWORD style) {
    return CreateControl({parent, WC_EDITA, text, WS_TABSTOP | style, WS_EX_CLIENTEDGE, id, bounds});
}

void Edit::OnCommand(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange();
}

LRESULT Edit::OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!filter_) return CallDefault(msg, wp, lp);
    switch (msg) {
    case WM_CHAR:
        // The edit pastes on Ctrl+V (the character 0x16) and Shift+Insert
        // by itself, without a WM_PASTE that could be filtered.
        if (wp == 0x16) {
            Paste();
            return 0;
        }
        if (wp >= 32) return TypeFiltered(static_cast<wchar_t>(wp), lp);
        break;
    case WM_KEYDOWN:
        if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
            Paste();
            return 0;
        }
        break;
    case WM_PASTE:
        Paste();
        return 0;
    default:
        break;
    }
    return CallDefault(msg, wp, lp);
}

LRESULT Edit::TypeFiltered(wchar_t unit, LPARAM lp) {
    // A subclass sees the control's Unicode messages: a character is one
    // UTF-16 unit, or a surrogate pair sent as two. The filter judges the
    // character's UTF-8 bytes, as it judges pasted text.
    if (unit >= 0xD800 && unit < 0xDC00) {
        pendingHigh_ = unit;  // wait for the other half
        return 0;
    }
    wchar_t units[2];
    int count = 0;
    if (unit >= 0xDC00 && unit < 0xE000) {
        if (pendingHigh_ == 0) return 0;  // half a character
        units[count++] = pendingHigh_;
    }
    pendingHigh_ = 0;
    units[count++] = unit;
    for (const char c : platform::win32::Narrow(std::wstring_view(units, static_cast<std::size_t>(count)))) {
        if (!filter_(c)) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    for (int i = 0; i < count; ++i) CallDefault(WM_CHAR, units[i], lp);
    return 0;
}

void Edit::Paste() {
    HWND h = Handle();
    LONG style = GetWindowLongA(h, GWL_STYLE);
    if ((style & ES_READONLY) != 0 || !OpenClipboard(h)) return;
    std::wstring pasted;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            pasted = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    // A one-line edit takes the first line, as its own paste does.
    if ((style & ES_MULTILINE) == 0) pasted.resize(std::min(pasted.size(), pasted.find_first_of(L"\r\n")));
    // Filter, then insert at the caret: the limit counts only what is kept,
    // the caret ends after it, and the change is one undo step.
    const std::string utf8 = platform::win32::Narrow(pasted);
    std::string kept;
    std::copy_if(utf8.begin(), utf8.end(), std::back_inserter(kept),
                 [&](char c) { return static_cast<unsigned char>(c) < 32 || filter_(c); });
    const std::wstring insert = platform::win32::Widen(kept);
    if (kept.size() != utf8.size()) MessageBeep(MB_OK);
    if (!insert.empty()) SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(insert.c_str()));
}

bool IsFileNameChar(char c) {
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    return static_cast<unsigned char>(c) >= 32 && kForbidden.find(c) == std::string_view::npos;
}

bool SpinEdit::Create(HWND parent, int id, RECT bounds, int minValue, int maxValue, int value) {
    min_ = minValue;
    max_ = maxValue;
    if (!edit_.Create(parent, id, std::to_string(value), bounds, ES_NUMBER | ES_AUTOHSCROLL)) return false;
    updown_ = CreateWindowExA(0, UPDOWN_CLASSA, "",
                              WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                              0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (updown_ == nullptr) return false;
    SendMessageA(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_.Handle()), 0);
    SendMessageA(updown_, UDM_SETRANGE32, static_cast<WPARAM>(minValue), maxValue);
    SendMessageA(updown_, UDM_SETPOS32, 0, value);
    return true;
}

int SpinEdit::Value() const {
    // The edit may hold any typed number; clamp it to the range.
    int v = std::atoi(edit_.Text().c_str());
    return std::clamp(v, min_, max_);
}

void SpinEdit::SetValue(int value) {
    SendMessageA(updown_, UDM_SETPOS32, 0, std::clamp(value, min_, max_));
}

}  // namespace kelvora::ui
