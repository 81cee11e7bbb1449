#include "ui/input_text_dlg.h"

#include "ui/framework/layout.h"

namespace kelvora::ui {

namespace {
// Layout in pixels at 96 dpi.
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 112;
constexpr int kMargin = 10;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
}  // namespace

bool TdlgInputText::Execute(HWND owner) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    // The owner's dpi; without one, the primary screen's (where it shows).
    UINT dpi = owner != nullptr ? GetDpiForWindow(owner) : GetDpiForSystem();
    if (dpi == 0) dpi = 96;
    auto s = [dpi](int px) { return MulDiv(px, static_cast<int>(dpi), 96); };
    RECT frame{0, 0, s(kClientWidth), s(kClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    CreateParams p;
    p.ClassName = "TdlgInputText";
    p.Title = Caption;
    p.Style = style;
    p.ExStyle = ex_style;
    const RECT at = CentredOn(owner, width, height);
    p.Bounds = {at.left, at.top, width, height};
    p.Parent = owner;
    if (!Create(p)) return false;

    LOGFONTA lf{};
    Font message = CreateMessageFont(dpi);
    GetObjectA(message.Get(), sizeof(lf), &lf);
    lf.lfCharSet = Charset;
    font_.Reset(CreateFontIndirectA(&lf));
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    int inner = s(kClientWidth) - 2 * s(kMargin);
    lblLabel.Create(Handle(), -1, LabelText, {s(kMargin), s(kMargin), inner, s(16)});
    edText.Create(Handle(), 100, Text, {s(kMargin), s(30), inner, s(22)});
    int buttons_top = s(kClientHeight) - s(kMargin) - s(kButtonHeight);
    int cancel_left = s(kClientWidth) - s(kMargin) - s(kButtonWidth);
    btnOk.Create(Handle(), IDOK, OkCaption, {cancel_left - s(8) - s(kButtonWidth), buttons_top, s(kButtonWidth),
                                             s(kButtonHeight)}, true);
    btnCancel.Create(Handle(), IDCANCEL, CancelCaption, {cancel_left, buttons_top, s(kButtonWidth), s(kButtonHeight)});
    SetDefaultId(IDOK);
    edText.OnChange = [this] { btnOk.SetEnabled(!edText.Text().empty()); };
    btnOk.SetEnabled(!edText.Text().empty());
    btnOk.OnClick = [this] { Accept(); };
    btnCancel.OnClick = [this] { EndModal(IDCANCEL); };
    edText.Focus();
    edText.SelectAll();
    return RunModal(owner) == IDOK;
}

void TdlgInputText::Accept() {
    // Enter reaches here through the default button even while it is
    // disabled: an empty text is never accepted.
    std::string text = edText.Text();
    if (text.empty()) return;
    Text = std::move(text);
    EndModal(IDOK);
}

LRESULT TdlgInputText::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp == 0) {
        if (LOWORD(wp) == IDOK) Accept();
        if (LOWORD(wp) == IDCANCEL) EndModal(IDCANCEL);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
