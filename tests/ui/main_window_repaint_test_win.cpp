// The main window resized: what it shows afterwards is what it draws when it
// paints itself whole, so no control that moved keeps stale pixels (the
// edges of Back and Next, the texts of the first page at the smallest size).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "support/gui_win.h"
#include "support/main_window_run_win.h"
#include "ui/main_captions.h"

namespace kelvora::ui {
namespace {

using namespace test;

// The window's pixels as it has drawn them, from its own surface.
std::vector<std::uint32_t> Pixels(HWND window, int& width, int& height) {
    RECT rc;
    GetWindowRect(window, &rc);
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC from = GetWindowDC(window);
    HDC to = CreateCompatibleDC(from);
    HBITMAP bitmap = CreateDIBSection(from, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(to, bitmap);
    BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    SelectObject(to, old);
    DeleteObject(bitmap);
    DeleteDC(to);
    ReleaseDC(window, from);
    return pixels;
}

// Resizes the window as the user's drag ends, photographs it, and answers
// the pixels that differ from a whole repaint (with the first of them in
// where).
int StalePixelsAfterResize(HWND main, int width, int height, const char* shot, POINT& where) {
    SetWindowPos(main, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(main);
    Pump();
    int w = 0, h = 0;
    const std::vector<std::uint32_t> shown = Pixels(main, w, h);
    Screenshot(shot);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    int w2 = 0, h2 = 0;
    const std::vector<std::uint32_t> whole = Pixels(main, w2, h2);
    if (w != w2 || h != h2) return -1;
    int stale = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == whole[i]) continue;
        if (stale++ == 0) where = {static_cast<LONG>(i % static_cast<std::size_t>(w)), static_cast<LONG>(i / static_cast<std::size_t>(w))};
    }
    return stale;
}

TEST(MainWindowRepaint, WhatMovedOnAResizeIsRepainted) {
    MainWindowRun run;
    ASSERT_TRUE(run.Window().Create());
    run.Window().Show(SW_SHOWNORMAL);
    HWND main = run.Window().Handle();
    // No caret blinks in the pictures: the focus on a button.
    SetFocus(ChildById(main, idBtnExit));
    run.Wizard().rbUninstallClick();
    Pump();
    RECT rc;
    GetWindowRect(main, &rc);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    POINT where{};
    // Larger, then the smallest size the window allows, then as it was.
    const int stale1 = StalePixelsAfterResize(main, width + 97, height + 61, "main_resized_larger", where);
    EXPECT_EQ(stale1, 0) << "larger: first stale pixel at " << where.x << "," << where.y;
    const int stale2 = StalePixelsAfterResize(main, 1, 1, "main_resized_smallest", where);
    EXPECT_EQ(stale2, 0) << "smallest: first stale pixel at " << where.x << "," << where.y;
    const int stale3 = StalePixelsAfterResize(main, width, height, "main_resized_back", where);
    EXPECT_EQ(stale3, 0) << "back: first stale pixel at " << where.x << "," << where.y;
}

}  // namespace
}  // namespace kelvora::ui
