// TdlgInputText: asks for one line of text. The OK button is the default
// and is enabled only while the edit is not empty; Cancel answers Escape.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/buttons.h"
#include "ui/framework/dialog.h"
#include "ui/framework/edit.h"

namespace kelvora::ui {

class TdlgInputText : public Dialog {
public:
    // Texts the caller sets (translated) before Execute.
    std::string Caption;
    std::string LabelText;
    std::string OkCaption = "&Ok";
    std::string CancelCaption = "&Cancel";
    std::string Text;          // the edit's text: initial, and the answer
    BYTE Charset = DEFAULT_CHARSET;

    // Shows the dialog centred on owner; true when closed with OK (Text
    // then holds the edit's text).
    bool Execute(HWND owner);

    // Controls, by the names the language files use.
    Label lblLabel;
    Edit edText;
    Button btnOk;
    Button btnCancel;

private:
    void Accept();
};

}  // namespace kelvora::ui
