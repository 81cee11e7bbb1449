#include "ui/input_text_dlg.h"

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
    if (!Open(owner, {"TdlgInputText", Caption})) return false;
    SetDialogFont(DialogFace::Message, Charset);
    const int inner = Scale(kClientWidth) - 2 * Scale(kMargin);
    lblLabel.Create(Handle(), -1, LabelText, {Scale(kMargin), Scale(kMargin), inner, Scale(16)});
    edText.Create(Handle(), 100, Text, {Scale(kMargin), Scale(30), inner, Scale(22)});
    const int buttonsTop = Scale(kClientHeight) - Scale(kMargin) - Scale(kButtonHeight);
    const int cancelLeft = Scale(kClientWidth) - Scale(kMargin) - Scale(kButtonWidth);
    btnOk.Create(Handle(), IDOK, OkCaption,
                 {cancelLeft - Scale(8) - Scale(kButtonWidth), buttonsTop, Scale(kButtonWidth), Scale(kButtonHeight)}, true);
    btnCancel.Create(Handle(), IDCANCEL, CancelCaption, {cancelLeft, buttonsTop, Scale(kButtonWidth), Scale(kButtonHeight)});
    Fit(owner, Scale(kClientWidth), Scale(kClientHeight));
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

}  // namespace kelvora::ui
