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
    if (msg == WM_CHAR && filter_) {
        auto c = static_cast<unsigned char>(wp);
        if (c >= 32 && wp < 256 && !filter_(static_cast<char>(c))) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    if (msg == WM_PASTE && filter_) {
        // Pasted text goes through the same filter: paste, then drop what
        // the filter refuses.
        LRESULT r = CallDefault(msg, wp, lp);
        std::string text = Text();
        std::string kept;
        std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                     [&](char c) { return static_cast<unsigned char>(c) < 32 || filter_(c); });
        if (kept != text) SetText(kept);
        return r;
    }
    return CallDefault(msg, wp, lp);
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
