#include "ui/about_dlg.h"

#include <algorithm>

#include "kelvora_version.h"
#include "ui/framework/layout.h"

namespace kelvora::ui {

namespace {
constexpr const char* kProduct = "Kelvora " KELVORA_VERSION;
constexpr int idLblText = 100;
constexpr FormRow kRows[] = {
    {0, "", "About Kelvora"},
    {idLblText, "lblText",
     "Watches the installation of applications and undoes it.\n"
     "Copyright (C) Varnok"},
    {IDOK, "btnOk", "OK"},
};
}  // namespace

std::span<const FormRow> AboutTable() { return kRows; }

void TdlgAboutQor::Execute(HWND owner, TTranslator& translator) {
    if (!Open(owner, {"TdlgAboutQor", kRows[0].English})) return;
    SetDialogFont(DialogFace::Tahoma, translator.Charset());
    bold_ = CreatePointFont("Tahoma", 10, Dpi(), true, static_cast<BYTE>(translator.Charset()));

    const int m = Scale(12), icon = Scale(32);
    imgIcon.Create(Handle(), -1, "", {m, m, icon, icon}, SS_ICON);
    SendMessageA(imgIcon.Handle(), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, icon,
                                                     icon, LR_SHARED)),
                 0);
    const int x = m + icon + Scale(12);
    lblProduct.Create(Handle(), -1, kProduct, {}, SS_LEFT | SS_NOPREFIX);
    lblProduct.SetFont(bold_.Get());
    lblText.Create(Handle(), idLblText, "", {}, SS_LEFT | SS_NOPREFIX);
    btnOk.Create(Handle(), IDOK, "", {}, true);
    SetDefaultId(IDOK);
    btnOk.OnClick = [this] { EndModal(IDOK); };
    TFormTexts texts(kAboutSection);
    AddFormTexts(texts, Handle(), kRows);
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
    Fit(owner, clientWidth, by + bh + m);
    btnOk.Focus();
    RunModal(owner);
    Destroy();
}

}  // namespace kelvora::ui
