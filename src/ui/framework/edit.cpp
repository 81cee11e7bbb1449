#include "ui/framework/edit.h"

#include <algorithm>
#include <cstdlib>
#include <string>

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
        if (wp >= 32 && wp < 256 && !filter_(static_cast<char>(wp))) {
            MessageBeep(MB_OK);
            return 0;
        }
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
    int n = WideCharToMultiByte(CP_UTF8, 0, pasted.data(), static_cast<int>(pasted.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, pasted.data(), static_cast<int>(pasted.size()), utf8.data(), n, nullptr, nullptr);
    std::string kept;
    std::copy_if(utf8.begin(), utf8.end(), std::back_inserter(kept),
                 [&](char c) { return static_cast<unsigned char>(c) < 32 || filter_(c); });
    std::wstring insert(static_cast<std::size_t>(
                            MultiByteToWideChar(CP_UTF8, 0, kept.data(), static_cast<int>(kept.size()), nullptr, 0)),
                        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, kept.data(), static_cast<int>(kept.size()), insert.data(),
                        static_cast<int>(insert.size()));
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
