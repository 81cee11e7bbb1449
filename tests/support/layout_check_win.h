// Checks of a window's layout at the screen's dots per inch: every text fits
// its control, controls stay inside the window and apart, and the fonts are
// the ones expected at that dpi. A test run at another dpi (HighDpi, in
// tests/ui/dpi_layout_test_win.cpp) asks the child process to confirm it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/gui_win.h"
#include "ui/framework/wide_text.h"

namespace kelvora::test {

using Problems = std::vector<std::string>;

// The dpi this process must run at when a parent test asked for one, and
// the event that tells the parent this process has taken it.
inline constexpr const char* kExpectDpiVariable = "KELVORA_EXPECT_DPI";
inline constexpr const char* kStartedEventVariable = "KELVORA_DPI_STARTED";

inline UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

inline void ExpectAskedDpi() {
    char asked[16] = {};
    if (GetEnvironmentVariableA(kExpectDpiVariable, asked, sizeof(asked)) == 0) return;
    char event_name[64] = {};
    if (GetEnvironmentVariableA(kStartedEventVariable, event_name, sizeof(event_name)) != 0) {
        if (HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, event_name)) {
            SetEvent(started);
            CloseHandle(started);
        }
    }
    ASSERT_EQ(ScreenDpi(), static_cast<UINT>(std::atoi(asked)));
    ASSERT_EQ(GetDpiForSystem(), static_cast<UINT>(std::atoi(asked)));
}

inline std::string ShotName(const char* what) { return std::string(what) + "_" + std::to_string(ScreenDpi()) + "dpi"; }

// The height of the message font the system gives windows at its dpi.
inline int SystemMessageFontHeight() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return std::abs(metrics.lfMessageFont.lfHeight);
}

inline std::string WithoutMnemonics(std::string text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

// Measures text as a control draws it: in the control's own font.
class ControlDc {
public:
    explicit ControlDc(HWND control) : control_(control), dc_(GetDC(control)) {
        auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        old_ = SelectObject(dc_, font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
        GetTextMetricsA(dc_, &metrics_);
    }
    ~ControlDc() {
        SelectObject(dc_, old_);
        ReleaseDC(control_, dc_);
    }
    ControlDc(const ControlDc&) = delete;
    ControlDc& operator=(const ControlDc&) = delete;
    // Controls draw their texts as UTF-16; the A text functions would read
    // the UTF-8 bytes in the code page of the font's character set.
    SIZE Extent(const std::string& text) const {
        const std::wstring wide = ui::WideText(text);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size;
    }
    int WrappedHeight(const std::string& text, int width) const {
        const std::wstring wide = ui::WideText(text);
        RECT rc{0, 0, width, 0};
        DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &rc,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        return rc.bottom;
    }
    int TextHeight() const { return metrics_.tmHeight; }

private:
    HWND control_;
    HDC dc_;
    HGDIOBJ old_;
    TEXTMETRICA metrics_{};
};

// Everything wrong with the layout of a window's visible child controls:
// one leaving the client area, two overlapping, a text that does not fit its
// control, a control whose font is not fontHeight pixels high.
inline Problems LayoutProblems(HWND window, int fontHeight = SystemMessageFontHeight()) {
    Problems problems;
    RECT client;
    GetClientRect(window, &client);
    struct Child {
        HWND hwnd;
        RECT rc;
        std::string name;
    };
    std::vector<Child> children;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        RECT rc;
        GetWindowRect(c, &rc);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
        children.push_back({c, rc, ClassName(c) + " \"" + WindowText(c) + "\""});
    }
    const int edge = GetSystemMetrics(SM_CXEDGE);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Child& c = children[i];
        RECT inside;
        IntersectRect(&inside, &c.rc, &client);
        if (!EqualRect(&inside, &c.rc)) problems.push_back(c.name + " leaves the client area");
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            RECT both;
            if (IntersectRect(&both, &c.rc, &children[j].rc))
                problems.push_back(c.name + " overlaps " + children[j].name);
        }
        RECT inner;
        GetClientRect(c.hwnd, &inner);
        ControlDc dc(c.hwnd);
        LONG style = GetWindowLongA(c.hwnd, GWL_STYLE);
        std::string text = WindowText(c.hwnd);
        std::string cls = ClassName(c.hwnd);
        if (lstrcmpiA(cls.c_str(), "Button") == 0) {
            // A push button draws its caption inside a 3D edge and a focus
            // rectangle.
            SIZE size = dc.Extent(WithoutMnemonics(text));
            if (size.cx + 2 * (edge + 2) > inner.right)
                problems.push_back(c.name + " is " + std::to_string(inner.right) + " px wide for a caption of " +
                                   std::to_string(size.cx));
            if (size.cy + 2 * edge > inner.bottom)
                problems.push_back(c.name + " is " + std::to_string(inner.bottom) + " px high for text of " +
                                   std::to_string(size.cy));
        } else if (lstrcmpiA(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) {
            std::string shown = (style & SS_NOPREFIX) != 0 ? text : WithoutMnemonics(text);
            int height = dc.WrappedHeight(shown, inner.right);
            if (height > inner.bottom)
                problems.push_back(c.name + " needs " + std::to_string(height) + " px, has " +
                                   std::to_string(inner.bottom));
        } else if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
            if (dc.TextHeight() > inner.bottom)
                problems.push_back(c.name + " is " + std::to_string(inner.bottom) + " px high for text of " +
                                   std::to_string(dc.TextHeight()));
        }
        // Every control with text speaks in the system's message font at
        // this dpi.
        if (lstrcmpiA(cls.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) continue;
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(c.hwnd, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        if (std::abs(lf.lfHeight) != fontHeight)
            problems.push_back(c.name + " has a font " + std::to_string(std::abs(lf.lfHeight)) + " px high, not " +
                               std::to_string(fontHeight));
    }
    return problems;
}

}  // namespace kelvora::test
