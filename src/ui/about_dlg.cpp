#include "ui/about_dlg.h"

#include <algorithm>

#include "kelvora_version.h"
#include "ui/framework/layout.h"

namespace kelvora::ui {

namespace {
constexpr const char* kProduct = "Kelvora " KELVORA_VERSION;
constexpr const char* kText =
    "Watches the installation of applications and undoes it.\n"
    "Copyright (C) Varnok";
}  // namespace

void TdlgAboutQor::Execute(HWND owner) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    CreateParams p;
    p.ClassName = "TdlgAboutQor";
    p.Title = "About Kelvora";
    p.Style = style;
    p.ExStyle = exStyle;
    p.Parent = owner;
    p.Bounds = {0, 0, 100, 100};
    if (!Create(p)) return;
    font_ = CreatePointFont("Tahoma", 8, Dpi());
    bold_ = CreatePointFont("Tahoma", 10, Dpi(), true);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    const int m = Scale(12), icon = Scale(32);
    imgIcon.Create(Handle(), -1, "", {m, m, icon, icon}, SS_ICON);
    SendMessageA(imgIcon.Handle(), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, icon,
                                                     icon, LR_SHARED)),
                 0);
    const int x = m + icon + Scale(12);
    lblProduct.Create(Handle(), -1, kProduct, {}, SS_LEFT | SS_NOPREFIX);
    lblProduct.SetFont(bold_.Get());
    lblText.Create(Handle(), -1, kText, {}, SS_LEFT | SS_NOPREFIX);
    btnOk.Create(Handle(), IDOK, "OK", {}, true);
    SetDefaultId(IDOK);
    btnOk.OnClick = [this] { EndModal(IDOK); };

    // Measured: the texts' width decides the box's.
    const int textWidth = std::max(MeasureText(lblProduct.Handle(), kProduct, 0, true).cx,
                                   MeasureText(lblText.Handle(), kText, Scale(400), true).cx);
    const int ph = LabelHeight(lblProduct.Handle(), textWidth);
    const int th = LabelHeight(lblText.Handle(), textWidth);
    lblProduct.SetBounds(x, m, textWidth, ph);
    lblText.SetBounds(x, m + ph + Scale(6), textWidth, th);
    const int bw = ButtonWidth(btnOk.Handle(), Scale(75)), bh = std::max(ControlHeight(btnOk.Handle()), Scale(23));
    const int clientWidth = x + textWidth + m;
    const int by = std::max(m + icon, m + ph + Scale(6) + th) + Scale(12);
    btnOk.SetBounds((clientWidth - bw) / 2, by, bw, bh);
    RECT frame{0, 0, clientWidth, by + bh + m};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT area;
    GetWindowRect(owner != nullptr ? owner : GetDesktopWindow(), &area);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(Handle(), nullptr, (area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    btnOk.Focus();
    RunModal(owner);
    Destroy();
}

LRESULT TdlgAboutQor::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndModal(IDOK);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
