// TdlgAboutQor: the About box, shown modally over the main window.
#pragma once

#include <span>

#include "translation/form_texts.h"
#include "translation/translator.h"
#include "ui/framework/buttons.h"
#include "ui/framework/gdi.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

inline constexpr const char* kAboutSection = "dlgAboutQor";
// The box's texts that a language file can change (section dlgAboutQor).
std::span<const TFormText> AboutCaptions();

class TdlgAboutQor : public Window {
public:
    // Shows the box in the translator's language.
    void Execute(HWND owner, TTranslator& translator);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Label imgIcon;
    Label lblProduct;
    Label lblText;
    Button btnOk;
    Font font_;
    Font bold_;
};

}  // namespace kelvora::ui
