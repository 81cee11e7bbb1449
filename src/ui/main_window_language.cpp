// The main window's languages: its texts as a language file names them, the
// translation at creation and after the options dialog, and what follows
// every translation (the columns, the fonts' character set, the status line).
#include "translation/messages.h"
#include "ui/main_captions.h"
#include "ui/main_window.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {

// Every caption of the table is a text of the language files: the value
// "btnNext.Caption" for the control btnNext, "odSetup.Title" as named. The
// title is the wizard's (the product's name, or the installation's).
void TfrmQorMain::AddTexts() {
    texts_.SetCharset = [this](int) { ApplyFonts(); };
    AddFormTexts(texts_, Handle(), MainCaptions(), [this](const FormRow& row) -> TFormTexts::Setter {
        return [this, id = row.Id](std::string_view text) {
            captions_[id] = std::string(text);
            // Menu items and the file dialogs' texts are read when shown.
            if (HWND control = ChildById(Handle(), id)) SetWindowTextA(control, captions_[id].c_str());
        };
    });
    translator_->OnTranslate = [this](const TFormTexts& form) { AfterTranslate(form); };
}

std::string TfrmQorMain::Caption(int id) const {
    const auto it = captions_.find(id);
    return it != captions_.end() ? it->second : std::string(CaptionOf(id));
}

void TfrmQorMain::TranslateWindow() {
    translator_->TranslateForm(texts_);
    Layout();
    // New texts in new places: labels that moved or shrank would otherwise
    // keep pieces of their old texts on the page until something else
    // repaints it.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmQorMain::AfterTranslate(const TFormTexts& form) {
    if (&form != &texts_) return;
    tvChanges.Translate();
    const kelvora::Message* columns[] = {&RS_NAME, &RS_CREATED, &RS_LAST_USED, &RS_USES};
    for (int c = 0; c < 4; ++c) {
        const std::string header = TranslateString(*columns[c]);
        lvQorFiles.SetColumnCaption(c, header);
        // A translated header may be longer than its column ("Benutzungen"):
        // the column grows to hold it and the sort arrow; the name column
        // takes what the others leave at the next Layout.
        const int needed = ListView_GetStringWidth(lvQorFiles.Handle(), header.c_str()) + Scale(28);
        if (c > 0 && lvQorFiles.ColumnWidth(c) < needed) lvQorFiles.SetColumnWidth(c, needed);
    }
    for (UINT item : {pmiRestore, pmiExit}) tray_.Menu().SetCaption(item, Caption(static_cast<int>(item)));
    // The first page's status line and Exit in the new language.
    wizard_->LanguageChanged();
}

void TfrmQorMain::btnOptionsClick() {
    TdlgQorOptions options({context_, os_, *translator_});
    if (!options.Execute(Handle())) return;
    ShowHideActivity();
    TranslateWindow();
}

}  // namespace kelvora::ui
