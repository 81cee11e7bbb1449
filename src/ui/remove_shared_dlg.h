// TdlgRemoveShared: asks whether a shared file that no program uses any more
// may be removed. Yes and No decide for one file; Yes To All and No To All
// for every file left. Closed without a button, it answers like No To All.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "translation/form_texts.h"
#include "translation/translator.h"
#include "ui/framework/buttons.h"
#include "ui/framework/dialog.h"
#include "ui/framework/edit.h"
#include "ui/framework/form_table.h"

namespace kelvora::ui {

inline constexpr const char* kRemoveSharedSection = "dlgRemoveShared";
// The dialog's texts that a language file can change (section dlgRemoveShared).
std::span<const FormRow> RemoveSharedTable();

class TdlgRemoveShared : public Dialog {
public:
    // The file's name and its folder (ending with a backslash).
    std::string FileName;
    std::string Folder;

    // Shows the dialog centred on owner, in the translator's language; answers kAnswerYes, kAnswerNo,
    // kAnswerYesToAll or kAnswerNoToAll (shared_files.h), or IDCANCEL when
    // it was closed without a button.
    int Execute(HWND owner, TTranslator& translator);

    // Controls, by the names the language files use.
    Label lblOne;
    Label lblTwo;
    Label lblFileName;
    Edit edFileName;
    Label lblLocated;
    Edit edLocated;
    Button btnYes;
    Button btnYesToAll;
    Button btnNo;
    Button btnNoToAll;

};

}  // namespace kelvora::ui
