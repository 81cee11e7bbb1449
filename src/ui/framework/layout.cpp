#include "ui/framework/layout.h"

#include <algorithm>
#include <string>

#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {

// A screen DC with the control's font selected, released on scope exit.
class FontDc {
public:
    explicit FontDc(HWND control) : control_(control), dc_(GetDC(control)) {
        auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        old_ = SelectObject(dc_, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    }
    ~FontDc() {
        SelectObject(dc_, old_);
        ReleaseDC(control_, dc_);
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ old_;
};

std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)), '\0');
    if (!text.empty()) text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size() + 1))));
    return text;
}

int DpiOf(HWND hwnd) {
    UINT dpi = GetDpiForWindow(hwnd);
    return dpi != 0 ? static_cast<int>(dpi) : 96;
}

}  // namespace

SIZE MeasureText(HWND control, std::string_view text, int wrapWidth, bool noPrefix) {
    FontDc dc(control);
    const std::wstring copy = WideText(text);
    RECT rc{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (noPrefix ? DT_NOPREFIX : 0) | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc.Get(), copy.c_str(), static_cast<int>(copy.size()), &rc, format);
    if (copy.empty()) {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc.Get(), &tm);
        rc.bottom = tm.tmHeight;
    }
    return {rc.right - rc.left, rc.bottom - rc.top};
}

int LineHeight(HWND control) {
    FontDc dc(control);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.Get(), &tm);
    return tm.tmHeight;
}

int ButtonWidth(HWND button, int minWidth, int padding) {
    // The caption sits inside a 3D edge and a focus rectangle, with room to
    // breathe on either side.
    return std::max(minWidth, static_cast<int>(MeasureText(button, WindowText(button)).cx) +
                                  MulDiv(padding, DpiOf(button), 96));
}

int CheckWidth(HWND check, int gap) {
    const int dpi = DpiOf(check);
    const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi));
    return box + MulDiv(gap, dpi, 96) + MeasureText(check, WindowText(check)).cx;
}

int LabelHeight(HWND label, int width) {
    const bool noPrefix = (GetWindowLongA(label, GWL_STYLE) & SS_NOPREFIX) != 0;
    return MeasureText(label, WindowText(label), width, noPrefix).cy;
}

int ControlHeight(HWND control) {
    // A text line plus the edges and the focus rectangle of a button or the
    // sunken border of an edit.
    return LineHeight(control) + MulDiv(9, DpiOf(control), 96);
}

RECT CentredOn(HWND owner, int width, int height) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) GetWindowRect(owner, &area);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    // The left and top edges win when the dialog is larger than the work area.
    const int x = std::max(work.left, std::min((area.left + area.right - width) / 2, work.right - width));
    const int y = std::max(work.top, std::min((area.top + area.bottom - height) / 2, work.bottom - height));
    return {x, y, x + width, y + height};
}

}  // namespace kelvora::ui
