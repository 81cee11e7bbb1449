// Move-only owners of GDI objects, icons, image lists and menus.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace kelvora::ui {

// One owner type per kind of handle; Deleter releases a non-null handle.
template <class H, class Deleter>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) noexcept : h_(h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    H Get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != nullptr; }
    H Release() noexcept { return std::exchange(h_, nullptr); }
    void Reset(H h = nullptr) noexcept {
        if (h_ != nullptr) Deleter{}(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

struct GdiDeleter {
    void operator()(HGDIOBJ h) const noexcept { DeleteObject(h); }
};
struct IconDeleter {
    void operator()(HICON h) const noexcept { DestroyIcon(h); }
};
struct ImageListDeleter {
    void operator()(HIMAGELIST h) const noexcept { ImageList_Destroy(h); }
};
struct MenuDeleter {
    void operator()(HMENU h) const noexcept { DestroyMenu(h); }
};
struct DcDeleter {
    void operator()(HDC h) const noexcept { DeleteDC(h); }
};
struct WindowDeleter {
    void operator()(HWND h) const noexcept { DestroyWindow(h); }
};

using Font = UniqueHandle<HFONT, GdiDeleter>;
using Brush = UniqueHandle<HBRUSH, GdiDeleter>;
using Pen = UniqueHandle<HPEN, GdiDeleter>;
using Bitmap = UniqueHandle<HBITMAP, GdiDeleter>;
using Icon = UniqueHandle<HICON, IconDeleter>;
using ImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;
using Menu = UniqueHandle<HMENU, MenuDeleter>;
using OwnedWindow = UniqueHandle<HWND, WindowDeleter>;
// A device context made with CreateDC (a printer's), not one from GetDC.
using OwnedDc = UniqueHandle<HDC, DcDeleter>;

// Selects an object into a device context for the lifetime of the guard.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The screen's device context (GetDC), released on scope exit. Declare it
// before the SelectGuards on it: they then put their objects back while the
// context is still held, as GDI asks (a released common context is no longer
// the caller's to select into).
class ScreenDc {
public:
    ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// A memory device context compatible with the screen; deleted on scope exit.
class MemoryDc {
public:
    MemoryDc() noexcept : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// The message font of the system (what dialogs use), scaled to dpi.
Font CreateMessageFont(UINT dpi);
// A font by face name and point size at dpi; bold when asked.
Font CreatePointFont(const char* face, int points, UINT dpi, bool bold = false, BYTE charset = DEFAULT_CHARSET);
// Gives a window (without a redraw) and its descendants (redrawn) the font,
// except the descendants for which keep answers true.
void SetFontOfAll(HWND window, HFONT font, bool (*keep)(HWND child) = nullptr);

}  // namespace kelvora::ui
