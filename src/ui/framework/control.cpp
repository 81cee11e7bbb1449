#include "ui/framework/control.h"

#include <exception>

#include "ui/framework/window.h"

namespace kelvora::ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x4B4C;  // one subclass per control, ours
// The wrapper is also kept as a window property: GetWindowSubclass exists
// only in comctl32 6 and is missing from mingw-w64's import library.
constexpr const char* kWrapperProp = "KelvoraControl";
}

Control::~Control() {
    if (hwnd_ != nullptr) {
        RemoveWindowSubclass(hwnd_, &Control::SubclassProc, kSubclassId);
        RemovePropA(hwnd_, kWrapperProp);
        DestroyWindow(hwnd_);
    }
}

Control* Control::FromHandle(HWND hwnd) noexcept {
    return hwnd != nullptr ? static_cast<Control*>(GetPropA(hwnd, kWrapperProp)) : nullptr;
}

bool Control::CreateControl(const CreateParams& p) {
    std::string text(p.Text);
    hwnd_ = CreateWindowExA(p.ExStyle, p.ClassName, text.c_str(), p.Style | WS_CHILD | WS_VISIBLE, p.Bounds.left,
                            p.Bounds.top, p.Bounds.right, p.Bounds.bottom, p.Parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.Id)), GetModuleHandleA(nullptr), nullptr);
    if (hwnd_ == nullptr) return false;
    SetWindowSubclass(hwnd_, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetPropA(hwnd_, kWrapperProp, this);
    // Children take the parent's font, as dialog controls do.
    if (auto font = reinterpret_cast<HFONT>(SendMessageA(p.Parent, WM_GETFONT, 0, 0))) SetFont(font);
    return true;
}

void Control::SetText(std::string_view text) {
    std::string copy(text);
    SetWindowTextA(hwnd_, copy.c_str());
}

std::string Control::Text() const {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd_)), '\0');
    if (!text.empty()) text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size() + 1))));
    return text;
}

LRESULT Control::OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return CallDefault(msg, wp, lp);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    auto* self = reinterpret_cast<Control*>(ref);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId);
        RemovePropA(hwnd, kWrapperProp);
        self->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    try {
        return self->OnSubclassMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportUnhandledException(e.what());
    } catch (...) {
        ReportUnhandledException("unknown exception in a control");
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace kelvora::ui
