#include "ui/about_dlg.h"

#include <algorithm>

#include "kelvora_version.h"
#include "ui/framework/layout.h"

namespace kelvora::ui {

namespace {
constexpr const char* kProduct = "Kelvora " KELVORA_VERSION;
constexpr TFormText kCaptions[] = {
    {"", "Caption", "About Kelvora"},
    {"lblText", "Caption",
     "Watches the installation of applications and undoes it.\n"
     "Copyright (C) Varnok"},
    {"btnOk", "Caption", "OK"},
};
}  // namespace

std::span<const TFormText> AboutCaptions() { return kCaptions; }

void TdlgAboutQor::Execute(HWND owner, TTranslator& translator) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    CreateParams p;
    p.ClassName = "TdlgAboutQor";
    p.Title = kCaptions[0].English;
    p.Style = style;
    p.ExStyle = exStyle;
    p.Parent = owner;
    p.Bounds = {0, 0, 100, 100};
    if (!Create(p)) return;
    const auto charset = static_cast<BYTE>(translator.Charset());
    font_ = CreatePointFont("Tahoma", 8, Dpi(), false, charset);
    bold_ = CreatePointFont("Tahoma", 10, Dpi(), true, charset);
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
    lblText.Create(Handle(), -1, kCaptions[1].English, {}, SS_LEFT | SS_NOPREFIX);
    btnOk.Create(Handle(), IDOK, kCaptions[2].English, {}, true);
    SetDefaultId(IDOK);
    btnOk.OnClick = [this] { EndModal(IDOK); };
    TFormTexts texts(kAboutSection);
    texts.SetTitle = [this](std::string_view text) { SetWindowTextA(Handle(), std::string(text).c_str()); };
    texts.Add("lblText", "Caption", std::string(kCaptions[1].English), [this](std::string_view t) { lblText.SetText(t); });
    texts.Add("btnOk", "Caption", std::string(kCaptions[2].English), [this](std::string_view t) { btnOk.SetText(t); });
    translator.TranslateForm(texts);

    // Measured: the texts' width decides the box's.
    const int textWidth = std::max(MeasureText(lblProduct.Handle(), kProduct, 0, true).cx,
                                   MeasureText(lblText.Handle(), lblText.Text(), Scale(400), true).cx);
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
    const RECT at = CentredOn(owner, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(Handle(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
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
