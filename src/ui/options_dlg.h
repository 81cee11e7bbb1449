// TdlgQorOptions: the options dialog. Three pages: General (the changes
// tree's font, the viewer, the language), Scanner (the excluded folders and
// the ignored files and registry keys) and Uninstaller (what an uninstall
// undoes and logs, and the log file). It shows the settings when it opens and
// stores and saves them only when it is closed with OK.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/text.h"
#include "settings/app_context.h"
#include "settings/options.h"
#include "settings/settings_store.h"
#include "translation/form_texts.h"
#include "translation/translator.h"
#include "ui/framework/buttons.h"
#include "ui/framework/combo_box.h"
#include "ui/framework/dialog.h"
#include "ui/framework/edit.h"
#include "ui/framework/form_table.h"
#include "ui/framework/list_view.h"
#include "ui/framework/tab_control.h"

namespace kelvora::ui {

class ContextHelp;

// Control identifiers (the tests find the controls by them).
enum TOptionsControl : int {
    idPcOptions = 100,
    idCmbTreeFont,
    idSeFontSize,
    idEdViewer,
    idCmbLanguages,
    idLvExFolders,
    idBtnAddExclFolder,
    idBtnRemExclFolder,
    idLvIgnFiles,
    idBtnAddIgnFile,
    idBtnRemIgnFile,
    idLvIgnKeys,
    idBtnAddIgnKey,
    idBtnRemIgnKey,
    idCbStergValori,
    idCbCreezValori,
    idCbRefacValori,
    idCbStergChei,
    idCbCreezChei,
    idCbDecrementez,
    idCbStergFisiere,
    idCbUseRecycled,
    idCbStergDirectoare,
    idCbErrors,
    idCbWarnings,
    idCbOk,
    idCbAutoDelQor,
    idBtnViewLog,
    idBtnClearLog,
    idCbHideActivityOption,
    // Texts and frames.
    idLblTreeFont,
    idLblFontSize,
    idLblViewer,
    idGbTranslation,
    idLblLanguage,
    idLblTranslatedBy1,
    idLblTranslatedBy2,
    idLblTranslatedBy3,
    idLblExFolders,
    idLblIgnFiles,
    idLblIgnKeys,
    idGbRegistry,
    idGbFileSystem,
    idGbLog,
};

// The dialog's table: its controls' texts that a language file can change
// (section dlgQorOptions) and their help contexts.
std::span<const FormRow> OptionsTable();
inline constexpr const char* kOptionsSection = "dlgQorOptions";

class TdlgQorOptions : public Dialog {
public:
    struct Services {
        AppContext& context;
        platform::Platform& os;
        TTranslator& translator;
        // The title bar's help button shows the controls' pop-ups; none
        // without help.
        ContextHelp* help = nullptr;
        std::string settingsKey = std::string(kSettingsKeyPath);
    };
    explicit TdlgQorOptions(Services services);
    ~TdlgQorOptions() override;

    // Shows the dialog centred on owner. True when it was closed with OK: the
    // settings are then stored and saved, and the translator speaks the
    // chosen language (the caller translates its own window again).
    bool Execute(HWND owner);

    // Controls, by the names the language files use.
    TabControl pcOptions;
    // General.
    Label lblTreeFont;
    OwnerDrawCombo cmbTreeFont;
    Label lblFontSize;
    SpinEdit seFontSize;
    Label lblViewer;
    Edit edViewer;
    CheckBox cbHideActivity;
    GroupBox gbTranslation;
    Label lblLanguage;
    OwnerDrawCombo cmbLanguages;
    Label lblTranslatedBy1;
    Label lblTranslatedBy2;
    Label lblTranslatedBy3;
    // Scanner.
    Label lblExFolders;
    ListView lvExFolders;
    Button btnAddExclFolder;
    Button btnRemExclFolder;
    Label lblIgnFiles;
    ListView lvIgnFiles;
    Button btnAddIgnFile;
    Button btnRemIgnFile;
    Label lblIgnKeys;
    ListView lvIgnKeys;
    Button btnAddIgnKey;
    Button btnRemIgnKey;
    // Uninstaller.
    GroupBox gbRegistry;
    CheckBox cbStergValori;
    CheckBox cbCreezValori;
    CheckBox cbRefacValori;
    CheckBox cbStergChei;
    CheckBox cbCreezChei;
    CheckBox cbDecrementez;
    GroupBox gbFileSystem;
    CheckBox cbStergFisiere;
    CheckBox cbUseRecycled;
    CheckBox cbStergDirectoare;
    GroupBox gbLog;
    CheckBox cbErrors;
    CheckBox cbWarnings;
    CheckBox cbOk;
    CheckBox cbAutoDelQor;
    Button btnViewLog;
    Button btnClearLog;
    // Below the pages.
    Button btnOk;
    Button btnCancel;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void AddTexts();
    void WireEvents();
    void FormShow();
    void ShowValues(const TOptionValues& v);
    TOptionValues Values() const;
    SIZE Layout();  // options_dlg_layout.cpp: the client area's size

    void btnAddExclFolderClick();
    void btnAddIgnFileClick();
    void btnAddIgnKeyClick();
    void btnViewLogClick();
    void btnClearLogClick();
    void btnOkClick();
    void cmbLanguagesChange();
    void cmbLanguagesDrawItem(HDC dc, const RECT& rc, int index);
    void UpdateLogButtons();
    std::string LogFile() const;

    AppContext& context_;
    platform::Platform& os_;
    TTranslator& translator_;
    ContextHelp* help_;
    std::string settingsKey_;
    TFormTexts texts_{kOptionsSection};
    std::string browseTitle_;  // the folder browser's title
    std::string filesFilter_;  // the file dialog's filter
};

}  // namespace kelvora::ui
