#include "ui/remove_shared_dlg.h"

#include <algorithm>
#include <utility>

#include "ui/framework/layout.h"
#include "uninstall/shared_files.h"

namespace kelvora::ui {

namespace {

// Layout in pixels at 96 dpi; the heights follow the texts.
constexpr int kClientWidth = 397;
constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr int kButtonWidth = 82;
constexpr int kButtonHeight = 25;
constexpr int kFieldHeight = 21;

// The caption and the controls' texts before translation.
constexpr TFormText kCaptions[] = {
    {"", "Caption", "Remove Shared File?"},
    {"lblOne", "Caption",
     "The system indicates that the following shared file is no longer used by any programs. If any programs are "
     "still using this file and it is removed, those programs may not function. Are you sure you want to remove the "
     "shared file?"},
    {"lblTwo", "Caption",
     "Leaving this file will not harm your system. If you are not sure what to do, it is suggested that you choose "
     "to not remove this shared component."},
    {"lblFileName", "Caption", "File name:"},
    {"lblLocated", "Caption", "Located in:"},
    {"btnYes", "Caption", "Yes"},
    {"btnYesToAll", "Caption", "Yes To All"},
    {"btnNo", "Caption", "No"},
    {"btnNoToAll", "Caption", "No To All"},
};

std::string_view English(std::string_view component) {
    for (const TFormText& c : kCaptions)
        if (c.Component == component) return c.English;
    return {};
}

}  // namespace

std::span<const TFormText> RemoveSharedCaptions() { return kCaptions; }

int TdlgRemoveShared::Execute(HWND owner, TTranslator& translator) {
    // A fixed dialog frame without border icons.
    const DWORD style = WS_POPUP | WS_CAPTION;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    CreateParams p;
    p.ClassName = "TdlgRemoveShared";
    p.Title = English("");
    p.Style = style;
    p.ExStyle = exStyle;
    p.Bounds = {0, 0, 100, 100};
    p.Parent = owner;
    if (!Create(p)) return IDCANCEL;
    font_ = CreatePointFont("Tahoma", 8, Dpi(), false, static_cast<BYTE>(translator.Charset()));
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    lblOne.Create(Handle(), -1, English("lblOne"), {});
    lblTwo.Create(Handle(), -1, English("lblTwo"), {});
    lblFileName.Create(Handle(), -1, English("lblFileName"), {});
    edFileName.Create(Handle(), 100, FileName, {}, ES_AUTOHSCROLL | ES_READONLY);
    lblLocated.Create(Handle(), -1, English("lblLocated"), {});
    edLocated.Create(Handle(), 101, Folder, {}, ES_AUTOHSCROLL | ES_READONLY);
    btnYes.Create(Handle(), kAnswerYes, English("btnYes"), {}, true);
    btnYesToAll.Create(Handle(), kAnswerYesToAll, English("btnYesToAll"), {});
    btnNo.Create(Handle(), kAnswerNo, English("btnNo"), {});
    btnNoToAll.Create(Handle(), kAnswerNoToAll, English("btnNoToAll"), {});
    TFormTexts texts(kRemoveSharedSection);
    texts.SetTitle = [this](std::string_view text) { SetWindowTextA(Handle(), std::string(text).c_str()); };
    const auto add = [&texts](const char* name, auto& control) {
        texts.Add(name, "Caption", std::string(English(name)), [&control](std::string_view t) { control.SetText(t); });
    };
    add("lblOne", lblOne);
    add("lblTwo", lblTwo);
    add("lblFileName", lblFileName);
    add("lblLocated", lblLocated);
    add("btnYes", btnYes);
    add("btnYesToAll", btnYesToAll);
    add("btnNo", btnNo);
    add("btnNoToAll", btnNoToAll);
    translator.TranslateForm(texts);

    // Measured: the paragraphs wrap at the inner width, the fields start
    // after the longer of their labels, and the buttons are as wide as the
    // widest caption needs, spread evenly along the bottom.
    const int left = Scale(kMargin), inner = Scale(kClientWidth) - 2 * left;
    int y = left;
    const int oneHeight = LabelHeight(lblOne.Handle(), inner);
    lblOne.SetBounds(left, y, inner, oneHeight);
    y += oneHeight + Scale(kGap);
    const int twoHeight = LabelHeight(lblTwo.Handle(), inner);
    lblTwo.SetBounds(left, y, inner, twoHeight);
    y += twoHeight + Scale(kGap + 4);
    const int labelWidth = std::max(MeasureText(lblFileName.Handle(), lblFileName.Text()).cx,
                                    MeasureText(lblLocated.Handle(), lblLocated.Text()).cx);
    const int fieldLeft = left + std::max(Scale(64), labelWidth + Scale(6));
    const int fieldWidth = left + inner - fieldLeft, fieldHeight = Scale(kFieldHeight);
    const int labelOffset = (fieldHeight - MeasureText(lblFileName.Handle(), "Ag").cy) / 2;
    for (auto [label, field] : {std::pair{&lblFileName, &edFileName}, std::pair{&lblLocated, &edLocated}}) {
        label->SetBounds(left, y + labelOffset, fieldLeft - left, fieldHeight - labelOffset);
        field->SetBounds(fieldLeft, y, fieldWidth, fieldHeight);
        y += fieldHeight + Scale(kGap + 1);
    }
    Button* buttons[] = {&btnYes, &btnYesToAll, &btnNo, &btnNoToAll};
    int buttonWidth = Scale(kButtonWidth);
    for (Button* b : buttons) buttonWidth = std::max(buttonWidth, ButtonWidth(b->Handle(), Scale(kButtonWidth)));
    buttonWidth = std::min(buttonWidth, (inner - 3 * Scale(4)) / 4);
    const int gap = (inner - 4 * buttonWidth) / 3;
    y += Scale(kGap);
    for (int i = 0; i < 4; ++i) buttons[i]->SetBounds(left + i * (buttonWidth + gap), y, buttonWidth, Scale(kButtonHeight));
    RECT frame{0, 0, Scale(kClientWidth), y + Scale(kButtonHeight) + left};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const RECT at = CentredOn(owner, frame.right - frame.left, frame.bottom - frame.top);
    SetWindowPos(Handle(), nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    SetDefaultId(kAnswerYes);
    btnYes.OnClick = [this] { EndModal(kAnswerYes); };
    btnYesToAll.OnClick = [this] { EndModal(kAnswerYesToAll); };
    btnNo.OnClick = [this] { EndModal(kAnswerNo); };
    btnNoToAll.OnClick = [this] { EndModal(kAnswerNoToAll); };
    btnYes.Focus();
    return RunModal(owner);
}

LRESULT TdlgRemoveShared::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && lp == 0) {
        // Enter is the default button; Escape closes without a button.
        if (LOWORD(wp) == IDOK) EndModal(kAnswerYes);
        if (LOWORD(wp) == IDCANCEL) EndModal(IDCANCEL);
        return 0;
    }
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
