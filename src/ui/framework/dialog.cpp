#include "ui/framework/dialog.h"

#include "ui/framework/buttons.h"
#include "ui/framework/layout.h"

namespace kelvora::ui {

bool Dialog::Open(HWND owner, const Frame& frame) {
    CreateParams p;
    p.ClassName = frame.ClassName;
    p.Title = frame.Title;
    p.Style = frame.Style;
    p.ExStyle = frame.ExStyle;
    p.Bounds = {0, 0, 100, 100};
    p.Parent = owner;
    return Create(p);
}

void Dialog::SetDialogFont(DialogFace face, int charset) {
    face_ = face;
    if (face == DialogFace::Tahoma) {
        const auto set = static_cast<BYTE>(charset < 0 ? DEFAULT_CHARSET : charset);
        SetDialogFont(CreatePointFont("Tahoma", 8, Dpi(), false, set));
        return;
    }
    Font font = CreateMessageFont(Dpi());
    if (charset >= 0) {
        LOGFONTA lf{};
        GetObjectA(font.Get(), sizeof lf, &lf);
        lf.lfCharSet = static_cast<BYTE>(charset);
        font.Reset(CreateFontIndirectA(&lf));
    }
    SetDialogFont(std::move(font));
}

void Dialog::SetDialogFont(Font font) {
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    font_ = std::move(font);
}

void Dialog::SetCharset(int charset) {
    // The controls let go of the old font before it is deleted.
    Font old = std::move(font_);
    SetDialogFont(face_, charset);
    SetFontOfAll(Handle(), font_.Get());
}

void Dialog::Fit(HWND owner, int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)), Dpi());
    const RECT at = CentredOn(owner, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(Handle(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::OnEnter() {
    const LRESULT id = SendMessageA(Handle(), DM_GETDEFID, 0, 0);
    if (HIWORD(id) != DC_HASDEFID) return;
    auto* button = dynamic_cast<Button*>(Control::FromHandle(ChildById(Handle(), LOWORD(id))));
    if (button != nullptr && button->OnClick) button->OnClick();
}

LRESULT Dialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // IsDialogMessage sends Enter and Escape as IDOK and IDCANCEL, from no
    // control when the dialog has no button of that identifier.
    if (msg == WM_COMMAND && lp == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        if (LOWORD(wp) == IDOK) OnEnter();
        else OnEscape();
        return 0;
    }
    if (msg == WM_CLOSE) {
        OnEscape();
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
