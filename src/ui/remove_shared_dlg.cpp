#include "ui/remove_shared_dlg.h"

#include <algorithm>
#include <utility>

#include "ui/framework/layout.h"
#include "ui/framework/layout_box.h"
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

enum : int { idEdFileName = 100, idEdLocated, idLblOne, idLblTwo, idLblFileName, idLblLocated };

constexpr FormRow kRows[] = {
    {0, "", "Remove Shared File?"},
    {idLblOne, "lblOne",
     "The system indicates that the following shared file is no longer used by any programs. If any programs are "
     "still using this file and it is removed, those programs may not function. Are you sure you want to remove the "
     "shared file?"},
    {idLblTwo, "lblTwo",
     "Leaving this file will not harm your system. If you are not sure what to do, it is suggested that you choose "
     "to not remove this shared component."},
    {idLblFileName, "lblFileName", "File name:"},
    {idLblLocated, "lblLocated", "Located in:"},
    {kAnswerYes, "btnYes", "Yes"},
    {kAnswerYesToAll, "btnYesToAll", "Yes To All"},
    {kAnswerNo, "btnNo", "No"},
    {kAnswerNoToAll, "btnNoToAll", "No To All"},
};

}  // namespace

std::span<const FormRow> RemoveSharedTable() { return kRows; }

int TdlgRemoveShared::Execute(HWND owner, TTranslator& translator) {
    // A fixed dialog frame without border icons.
    if (!Open(owner, {"TdlgRemoveShared", kRows[0].English, WS_POPUP | WS_CAPTION})) return IDCANCEL;
    SetDialogFont(DialogFace::Tahoma, translator.Charset());
    lblOne.Create(Handle(), idLblOne, "", {});
    lblTwo.Create(Handle(), idLblTwo, "", {});
    lblFileName.Create(Handle(), idLblFileName, "", {});
    edFileName.Create(Handle(), idEdFileName, FileName, {}, ES_AUTOHSCROLL | ES_READONLY);
    lblLocated.Create(Handle(), idLblLocated, "", {});
    edLocated.Create(Handle(), idEdLocated, Folder, {}, ES_AUTOHSCROLL | ES_READONLY);
    btnYes.Create(Handle(), kAnswerYes, "", {}, true);
    btnYesToAll.Create(Handle(), kAnswerYesToAll, "", {});
    btnNo.Create(Handle(), kAnswerNo, "", {});
    btnNoToAll.Create(Handle(), kAnswerNoToAll, "", {});
    TFormTexts texts(kRemoveSharedSection);
    AddFormTexts(texts, Handle(), kRows);
    translator.TranslateForm(texts);

    // Measured: the paragraphs wrap at the inner width, the fields start
    // after the longer of their labels, and the buttons are as wide as the
    // widest caption needs, spread evenly along the bottom.
    const int left = Scale(kMargin), inner = Scale(kClientWidth) - 2 * left;
    Column paragraphs(*this, left, left + inner);
    paragraphs.SetY(left);
    paragraphs.Text(lblOne, 0, kGap);
    paragraphs.Text(lblTwo, 0, kGap + 4);
    int y = paragraphs.Y();
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
    const int buttonWidth = std::min(WidestButton({&btnYes, &btnYesToAll, &btnNo, &btnNoToAll}, Scale(kButtonWidth)),
                                     (inner - 3 * Scale(4)) / 4);
    const int gap = (inner - 4 * buttonWidth) / 3;
    y += Scale(kGap);
    for (int i = 0; i < 4; ++i) buttons[i]->SetBounds(left + i * (buttonWidth + gap), y, buttonWidth, Scale(kButtonHeight));
    Fit(owner, Scale(kClientWidth), y + Scale(kButtonHeight) + left);

    SetDefaultId(kAnswerYes);
    btnYes.OnClick = [this] { EndModal(kAnswerYes); };
    btnYesToAll.OnClick = [this] { EndModal(kAnswerYesToAll); };
    btnNo.OnClick = [this] { EndModal(kAnswerNo); };
    btnNoToAll.OnClick = [this] { EndModal(kAnswerNoToAll); };
    btnYes.Focus();
    return RunModal(owner);
}

}  // namespace kelvora::ui
