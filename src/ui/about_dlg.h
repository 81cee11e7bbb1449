// TdlgAboutQor: the About box, shown modally over the main window.
#pragma once

#include <span>

#include "translation/form_texts.h"
#include "translation/translator.h"
#include "ui/framework/buttons.h"
#include "ui/framework/dialog.h"
#include "ui/framework/form_table.h"

namespace kelvora::ui {

inline constexpr const char* kAboutSection = "dlgAboutQor";
// The box's texts that a language file can change (section dlgAboutQor).
std::span<const FormRow> AboutTable();

class TdlgAboutQor : public Dialog {
public:
    // Shows the box in the translator's language.
    void Execute(HWND owner, TTranslator& translator);

private:
    Label imgIcon;
    Label lblProduct;
    Label lblText;
    Button btnOk;
    Font bold_;
};

}  // namespace kelvora::ui
