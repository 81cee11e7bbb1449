#include "ui/options_dlg.h"

#include <shellapi.h>

#include <algorithm>

#include "translation/messages.h"
#include "ui/context_help.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/wide_text.h"
#include "ui/input_text_dlg.h"
#include "ui/message_dlg.h"
#include "ui/shell_run.h"
#include "uninstall/uninstall_log.h"

// <shellapi.h> and the dialogs' headers bring <windows.h>, whose DeleteFile
// macro would rename the file system's member (see platform/platform.h).
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace kelvora::ui {

namespace {

// The tabs, the folder browser's title and the file dialog's filter have no
// window text of their own (identifier 0).
constexpr FormRow kRows[] = {
    {0, "", "Options"},
    {0, "tabGeneral", "General"},
    {0, "tabScanner", "Scanner"},
    {0, "tabUninstaller", "Uninstaller"},
    {idLblTreeFont, "lblTreeFont", "Changes Tree font"},
    {idCmbTreeFont, "cmbTreeFont", nullptr, 64, "options.htm#general"},
    {idLblFontSize, "lblFontSize", "Size"},
    {idSeFontSize, "seFontSize", nullptr, 65, "options.htm#general"},
    {idLblViewer, "lblViewer", "Viewer"},
    {idEdViewer, "edViewer", nullptr, 66, "options.htm#general"},
    {idCbHideActivityOption, "cbHideActivity", "Hide activity in the changes tree (changes the setup did not make)"},
    {idGbTranslation, "gbTranslation", "Translation"},
    {idLblLanguage, "lblLanguage", "Language"},
    {idCmbLanguages, "cmbLanguages", nullptr, 67, "options.htm#general"},
    {idLblTranslatedBy1, "lblTranslatedBy1", ""},
    {idLblTranslatedBy2, "lblTranslatedBy2", ""},
    {idLblTranslatedBy3, "lblTranslatedBy3", ""},
    {idLblExFolders, "lblExFolders", "Exclude folders from scanning"},
    {idLvExFolders, "lvExFolders", nullptr, 68, "options.htm#scanner"},
    {idBtnAddExclFolder, "btnAddExclFolder", "Add", 69, "options.htm#scanner"},
    {idBtnRemExclFolder, "btnRemExclFolder", "Remove", 70, "options.htm#scanner"},
    {idLblIgnFiles, "lblIgnFiles", "Ignore changes from files"},
    {idLvIgnFiles, "lvIgnFiles", nullptr, 71, "options.htm#scanner"},
    {idBtnAddIgnFile, "btnAddIgnFile", "Add", 72, "options.htm#scanner"},
    {idBtnRemIgnFile, "btnRemIgnFile", "Remove", 73, "options.htm#scanner"},
    {idLblIgnKeys, "lblIgnKeys", "Ignore changes from registry keys"},
    {idLvIgnKeys, "lvIgnKeys", nullptr, 74, "options.htm#scanner"},
    {idBtnAddIgnKey, "btnAddIgnKey", "Add", 75, "options.htm#scanner"},
    {idBtnRemIgnKey, "btnRemIgnKey", "Remove", 76, "options.htm#scanner"},
    {idGbRegistry, "gbRegistry", "Registry"},
    {idCbStergValori, "cbStergValori", "Delete created values", 77, "options.htm#uninstaller"},
    {idCbCreezValori, "cbCreezValori", "Create deleted values", 78, "options.htm#uninstaller"},
    {idCbRefacValori, "cbRefacValori", "Restore changed values", 79, "options.htm#uninstaller"},
    {idCbStergChei, "cbStergChei", "Delete created keys", 80, "options.htm#uninstaller"},
    {idCbCreezChei, "cbCreezChei", "Create deleted keys", 81, "options.htm#uninstaller"},
    {idCbDecrementez, "cbDecrementez", "Decrease shared dll's counter", 82, "options.htm#uninstaller"},
    {idGbFileSystem, "gbFileSystem", "File System"},
    {idCbStergFisiere, "cbStergFisiere", "Delete created files (shared dll's only if counter reach 0)", 83, "options.htm#uninstaller"},
    {idCbUseRecycled, "cbUseRecycled", "Use Recycle Bin", 84, "options.htm#uninstaller"},
    {idCbStergDirectoare, "cbStergDirectoare", "Delete created folders", 85, "options.htm#uninstaller"},
    {idGbLog, "gbLog", "Log"},
    {idCbErrors, "cbErrors", "Errors"},
    {idCbWarnings, "cbWarnings", "Warnings"},
    {idCbOk, "cbOk", "Successful actions"},
    {idCbAutoDelQor, "cbAutoDelQor", "Automatically delete the monitored changes file if successful uninstall"},
    {idBtnViewLog, "btnViewLog", "View log"},
    {idBtnClearLog, "btnClearLog", "Clear log"},
    {IDOK, "btnOk", "&Ok", 62, "options.htm"},
    {IDCANCEL, "btnCancel", "&Cancel", 63, "options.htm"},
    {0, "bfExclFolder.Title", "Choose a folder to exclude from scanning"},
    {0, "odIgnFiles.Filter", "All files (*.*)|*.*"},
};

// The check boxes and the values they show.
constexpr struct {
    CheckBox TdlgQorOptions::*box;
    bool TOptionValues::*value;
} kBoxes[] = {
    {&TdlgQorOptions::cbStergValori, &TOptionValues::DeleteValues},
    {&TdlgQorOptions::cbCreezValori, &TOptionValues::CreateValues},
    {&TdlgQorOptions::cbRefacValori, &TOptionValues::RestoreValues},
    {&TdlgQorOptions::cbStergChei, &TOptionValues::DeleteKey},
    {&TdlgQorOptions::cbCreezChei, &TOptionValues::CreateKey},
    {&TdlgQorOptions::cbDecrementez, &TOptionValues::DecSharedCounter},
    {&TdlgQorOptions::cbStergFisiere, &TOptionValues::DeleteFiles},
    {&TdlgQorOptions::cbUseRecycled, &TOptionValues::UseRecycled},
    {&TdlgQorOptions::cbStergDirectoare, &TOptionValues::DeleteFolders},
    {&TdlgQorOptions::cbErrors, &TOptionValues::LogErrors},
    {&TdlgQorOptions::cbWarnings, &TOptionValues::LogWarnings},
    {&TdlgQorOptions::cbOk, &TOptionValues::LogSuccess},
    {&TdlgQorOptions::cbAutoDelQor, &TOptionValues::AutoDelQor},
    {&TdlgQorOptions::cbHideActivity, &TOptionValues::HideActivity},
};

// Every list of the Scanner page has one column as wide as the list.
void FillList(ListView& list, const std::vector<std::string>& items) {
    list.Clear();
    for (const std::string& item : items) list.AddItem({item});
}

std::vector<std::string> ListItems(const ListView& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.Cell(i, 0));
    return items;
}

void RemoveSelected(ListView& list) {
    const int selected = list.SelectedIndex();
    if (selected >= 0) list.DeleteItem(selected);
}

// The face names of the font families installed for the screen, each once,
// in the user's alphabetical order.
std::vector<std::string> InstalledFonts() {
    std::vector<std::string> faces;
    HDC dc = GetDC(nullptr);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(
        dc, &lf,
        [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param) -> int {
            auto* list = reinterpret_cast<std::vector<std::string>*>(param);
            // "@Name" are the vertical forms of East Asian fonts.
            if (font->lfFaceName[0] != '@') list->emplace_back(font->lfFaceName);
            return 1;
        },
        reinterpret_cast<LPARAM>(&faces), 0);
    ReleaseDC(nullptr, dc);
    // A family comes once for each of its character sets.
    std::sort(faces.begin(), faces.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    faces.erase(std::unique(faces.begin(), faces.end(),
                            [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }),
                faces.end());
    return faces;
}

// The face that Windows draws for a font asked for by face: the face itself
// when it is installed, else the one that Windows puts in its place.
std::string FaceInUse(const std::string& face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    Font font(CreateFontIndirectA(&lf));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Get());
    char used[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, used);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return used;
}

}  // namespace

std::span<const FormRow> OptionsTable() { return kRows; }

TdlgQorOptions::TdlgQorOptions(Services s)
    : context_(s.context),
      os_(s.os),
      translator_(s.translator),
      help_(s.help),
      settingsKey_(std::move(s.settingsKey)) {}

TdlgQorOptions::~TdlgQorOptions() = default;

bool TdlgQorOptions::Execute(HWND owner) {
    Frame frame;
    frame.ClassName = "TdlgQorOptions";
    frame.Title = "Options";
    frame.Style |= WS_CLIPCHILDREN;
    if (help_ != nullptr) frame.ExStyle |= WS_EX_CONTEXTHELP;
    if (!Open(owner, frame)) return false;
    CreateControls();
    AddTexts();
    SetHelpContexts(Handle(), kRows);
    SetWindowContextHelpId(seFontSize.UpDown(), RowOf(kRows, idSeFontSize)->Help);
    WireEvents();
    FormShow();
    const SIZE client = Layout();
    Fit(owner, client.cx, client.cy);
    pcOptions.SetActivePage(0);
    cmbTreeFont.Focus();
    return RunModal(owner) == IDOK;
}

void TdlgQorOptions::CreateControls() {
    SetDialogFont(DialogFace::Message);
    const RECT none{0, 0, 10, 10};  // Layout places everything
    pcOptions.Create(Handle(), idPcOptions, none);
    HWND general = pcOptions.AddPage("General").Handle();
    HWND scanner = pcOptions.AddPage("Scanner").Handle();
    HWND uninstaller = pcOptions.AddPage("Uninstaller").Handle();

    lblTreeFont.Create(general, idLblTreeFont, "", none);
    cmbTreeFont.Create(general, idCmbTreeFont, none, Scale(16));
    lblFontSize.Create(general, idLblFontSize, "", none);
    seFontSize.Create(general, idSeFontSize, none, kMinTreeFontSize, kMaxTreeFontSize, kMinTreeFontSize);
    seFontSize.Editor().SetMaxLength(2);
    lblViewer.Create(general, idLblViewer, "", none);
    edViewer.Create(general, idEdViewer, "", none);
    cbHideActivity.Create(general, idCbHideActivityOption, "", none);
    gbTranslation.Create(general, idGbTranslation, "", none);
    lblLanguage.Create(general, idLblLanguage, "", none);
    cmbLanguages.Create(general, idCmbLanguages, none, Scale(22));
    int credit = idLblTranslatedBy1;
    for (Label* l : {&lblTranslatedBy1, &lblTranslatedBy2, &lblTranslatedBy3})
        l->Create(general, credit++, "", none, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);

    const struct {
        Label& label;
        ListView& list;
        Button& add;
        Button& remove;
        int labelId;
        int id;
    } lists[] = {{lblExFolders, lvExFolders, btnAddExclFolder, btnRemExclFolder, idLblExFolders, idLvExFolders},
                 {lblIgnFiles, lvIgnFiles, btnAddIgnFile, btnRemIgnFile, idLblIgnFiles, idLvIgnFiles},
                 {lblIgnKeys, lvIgnKeys, btnAddIgnKey, btnRemIgnKey, idLblIgnKeys, idLvIgnKeys}};
    for (const auto& l : lists) {
        l.label.Create(scanner, l.labelId, "", none);
        l.list.Create(scanner, l.id, none, LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_SORTASCENDING);
        l.list.AddColumn("", 100);
        l.add.Create(scanner, l.id + 1, "", none);
        l.remove.Create(scanner, l.id + 2, "", none);
        l.remove.SetEnabled(false);
        ListView& list = l.list;
        Button& remove = l.remove;
        list.OnSelectionChange = [&list, &remove] { remove.SetEnabled(list.SelectedIndex() >= 0); };
        remove.OnClick = [&list, &remove] {
            RemoveSelected(list);
            remove.SetEnabled(list.SelectedIndex() >= 0);
        };
    }

    gbRegistry.Create(uninstaller, idGbRegistry, "", none);
    cbStergValori.Create(uninstaller, idCbStergValori, "", none);
    cbCreezValori.Create(uninstaller, idCbCreezValori, "", none);
    cbRefacValori.Create(uninstaller, idCbRefacValori, "", none);
    cbStergChei.Create(uninstaller, idCbStergChei, "", none);
    cbCreezChei.Create(uninstaller, idCbCreezChei, "", none);
    cbDecrementez.Create(uninstaller, idCbDecrementez, "", none);
    gbFileSystem.Create(uninstaller, idGbFileSystem, "", none);
    cbStergFisiere.Create(uninstaller, idCbStergFisiere, "", none);
    cbUseRecycled.Create(uninstaller, idCbUseRecycled, "", none);
    cbStergDirectoare.Create(uninstaller, idCbStergDirectoare, "", none);
    gbLog.Create(uninstaller, idGbLog, "", none);
    cbErrors.Create(uninstaller, idCbErrors, "", none);
    cbWarnings.Create(uninstaller, idCbWarnings, "", none);
    cbOk.Create(uninstaller, idCbOk, "", none);
    cbAutoDelQor.Create(uninstaller, idCbAutoDelQor, "", none);
    // Long captions wrap when the dialog cannot grow wide enough for them.
    for (const auto& entry : kBoxes) {
        HWND box = (this->*entry.box).Handle();
        SetWindowLongPtrA(box, GWL_STYLE, GetWindowLongPtrA(box, GWL_STYLE) | BS_MULTILINE);
    }
    btnViewLog.Create(uninstaller, idBtnViewLog, "", none);
    btnClearLog.Create(uninstaller, idBtnClearLog, "", none);

    btnOk.Create(Handle(), IDOK, "", none, true);
    btnCancel.Create(Handle(), IDCANCEL, "", none);
    SetDefaultId(IDOK);
}

// The dialog's texts, English first, then as the language file says.
void TdlgQorOptions::AddTexts() {
    AddFormTexts(texts_, Handle(), kRows, [this](const FormRow& row) -> TFormTexts::Setter {
        const std::string_view name = row.Name;
        if (name == "bfExclFolder.Title") return [this](std::string_view text) { browseTitle_ = text; };
        if (name == "odIgnFiles.Filter") return [this](std::string_view text) { filesFilter_ = text; };
        const int tab = name == "tabGeneral" ? 0 : name == "tabScanner" ? 1 : name == "tabUninstaller" ? 2 : -1;
        if (tab >= 0) return [this, tab](std::string_view text) { pcOptions.SetCaption(tab, text); };
        return {};
    });
    texts_.SetCharset = [this](int charset) { SetCharset(charset); };
}

void TdlgQorOptions::WireEvents() {
    btnAddExclFolder.OnClick = [this] { btnAddExclFolderClick(); };
    btnAddIgnFile.OnClick = [this] { btnAddIgnFileClick(); };
    btnAddIgnKey.OnClick = [this] { btnAddIgnKeyClick(); };
    btnViewLog.OnClick = [this] { btnViewLogClick(); };
    btnClearLog.OnClick = [this] { btnClearLogClick(); };
    btnOk.OnClick = [this] { btnOkClick(); };
    btnCancel.OnClick = [this] { EndModal(IDCANCEL); };
    cbStergFisiere.OnClick = [this] { cbUseRecycled.SetEnabled(UseRecycledEnabled(Values())); };
    cmbLanguages.OnChange = [this] { cmbLanguagesChange(); };
    // The combo box fills the item and sets the colours of its state.
    cmbLanguages.OnDrawItemText = [this](HDC dc, const RECT& rc, int index, bool) {
        cmbLanguagesDrawItem(dc, rc, index);
    };
}

void TdlgQorOptions::FormShow() {
    for (const std::string& face : InstalledFonts()) cmbTreeFont.AddItem(face);
    for (const TLanguage& language : translator_.Languages()) cmbLanguages.AddItem(language.Name);
    const TSettings& s = context_.Settings;
    // A stored font that is not installed (the default, on a system without
    // it) is not the one the tree shows: the list shows the one it does.
    TSettings shown = s;
    if (!cmbTreeFont.SelectText(s.ChangesTreeFont)) shown.ChangesTreeFont = FaceInUse(s.ChangesTreeFont);
    const bool installed = cmbTreeFont.SelectText(shown.ChangesTreeFont);
    ShowValues(OptionValuesFromSettings(shown, context_.ProgramFolder, installed, translator_.CurrentLanguage()));
    UpdateLogButtons();
    translator_.TranslateForm(texts_);
}

void TdlgQorOptions::ShowValues(const TOptionValues& v) {
    if (v.TreeFont.empty()) cmbTreeFont.SetItemIndex(-1);
    else cmbTreeFont.SelectText(v.TreeFont);
    seFontSize.SetValue(v.FontSize);
    edViewer.SetText(v.Viewer);
    if (!cmbLanguages.SelectText(v.Language)) cmbLanguages.SetItemIndex(-1);
    FillList(lvExFolders, v.ExcludedFolders);
    FillList(lvIgnFiles, v.IgnoredFiles);
    FillList(lvIgnKeys, v.IgnoredKeys);
    for (const auto& [box, value] : kBoxes) (this->*box).SetChecked(v.*value);
    cbUseRecycled.SetEnabled(UseRecycledEnabled(v));
}

TOptionValues TdlgQorOptions::Values() const {
    TOptionValues v;
    const int font = cmbTreeFont.ItemIndex();
    if (font >= 0) v.TreeFont = cmbTreeFont.Item(font);
    v.FontSize = seFontSize.Value();
    v.Viewer = edViewer.Text();
    const int language = cmbLanguages.ItemIndex();
    if (language >= 0) v.Language = cmbLanguages.Item(language);
    v.ExcludedFolders = ListItems(lvExFolders);
    v.IgnoredFiles = ListItems(lvIgnFiles);
    v.IgnoredKeys = ListItems(lvIgnKeys);
    for (const auto& [box, value] : kBoxes) v.*value = (this->*box).Checked();
    return v;
}

void TdlgQorOptions::btnAddExclFolderClick() {
    const std::optional<std::string> folder = BrowseDriveFolder(Handle(), browseTitle_);
    if (!folder) return;
    const TExcludeAnswer answer = CheckExcludedFolder(ListItems(lvExFolders), *folder);
    if (answer.Check == TExcludeCheck::Ok) {
        lvExFolders.AddItem({*folder});
        return;
    }
    const Message& warning =
        answer.Check == TExcludeCheck::AlreadyExcluded ? RS_FLD_EXCLUDED : RS_FLD_CONT_EXCLUDED;
    ShowMessageDlg(FormatText(TranslateString(warning), {answer.Shown}), TMsgDlgType::mtWarning,
                   {TMsgDlgBtn::mbOK});
}

void TdlgQorOptions::btnAddIgnFileClick() {
    for (const std::string& file : EntriesToAdd(ListItems(lvIgnFiles), ChooseFilesToOpen(Handle(), filesFilter_)))
        lvIgnFiles.AddItem({file});
}

void TdlgQorOptions::btnAddIgnKeyClick() {
    TdlgInputText dialog;
    dialog.Caption = TranslateString(RS_IGN_REG_KEY);
    dialog.LabelText = TranslateString(RS_KEY_PATH);
    dialog.OkCaption = TranslateString(RS_OK);
    dialog.CancelCaption = TranslateString(RS_CANCEL);
    dialog.Charset = static_cast<BYTE>(translator_.Charset());
    if (!dialog.Execute(Handle()) || dialog.Text.empty()) return;
    if (!IgnoredKeyHasRoot(dialog.Text)) {
        ShowMessageDlg(FormatText(TranslateString(RS_KEY_NO_ROOT), {dialog.Text}), TMsgDlgType::mtError,
                       {TMsgDlgBtn::mbOK});
        return;
    }
    for (const std::string& key : EntriesToAdd(ListItems(lvIgnKeys), {dialog.Text})) lvIgnKeys.AddItem({key});
}

std::string TdlgQorOptions::LogFile() const { return UninstallLogPath(context_.ProgramFolder); }

void TdlgQorOptions::UpdateLogButtons() {
    const bool exists = os_.files.FileExists(LogFile());
    btnViewLog.SetEnabled(exists);
    btnClearLog.SetEnabled(exists);
}

void TdlgQorOptions::btnViewLogClick() {
    // The program that opens text files, not the viewer of the changes tree.
    ShellRun(Handle(), "open", LogFile(), "", "");
}

void TdlgQorOptions::btnClearLogClick() {
    if (ShowMessageDlg(TranslateString(RS_CLEAR_LOG), TMsgDlgType::mtConfirmation,
                       {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}) != mrYes)
        return;
    os_.files.DeleteFile(LogFile());
    UpdateLogButtons();
}

// Settings that could not be saved are not kept: the dialog stays open
// with the reason.
void TdlgQorOptions::btnOkClick() {
    const TSettings before = context_.Settings;
    StoreOptionValues(Values(), context_.Settings, context_.ProgramFolder);
    const std::string failure = SaveSettingsFailure(os_.registry, context_.Settings, context_.ProgramFolder, settingsKey_);
    if (!failure.empty()) {
        context_.Settings = before;
        ShowMessageDlg(failure, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
        return;
    }
    translator_.SetLanguage(context_.Settings.Language);
    EndModal(IDOK);
}

// Only the credits change: the rest of the dialog keeps its language until OK.
void TdlgQorOptions::cmbLanguagesChange() {
    const int index = cmbLanguages.ItemIndex();
    if (index < 0) return;
    const std::string language = cmbLanguages.Item(index);
    for (Label* credit : {&lblTranslatedBy1, &lblTranslatedBy2, &lblTranslatedBy3}) credit->SetText("");
    for (const char* credit : {"lblTranslatedBy1", "lblTranslatedBy2", "lblTranslatedBy3"})
        translator_.TranslateForm(texts_, credit, language);
}

void TdlgQorOptions::cmbLanguagesDrawItem(HDC dc, const RECT& rc, int index) {
    // The flag in a box of the window colour, the name beside it.
    RECT box{rc.left + Scale(1), rc.top + Scale(1), rc.left + Scale(38), rc.top + Scale(23)};
    IntersectRect(&box, &box, &rc);
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    const std::string name = cmbLanguages.Item(index);
    const TPicture& flag = translator_.GetFlag(name);
    if (!flag.Empty()) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = flag.Width;
        bmi.bmiHeader.biHeight = -flag.Height;  // rows from the top
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        StretchDIBits(dc, rc.left + Scale(3), rc.top + Scale(1), Scale(flag.Width), Scale(flag.Height), 0, 0,
                      flag.Width, flag.Height, flag.Pixels.data(), &bmi, DIB_RGB_COLORS, SRCCOPY);
    }
    RECT text = rc;
    text.left += Scale(40);
    text.top += Scale(5);
    const std::wstring wide = WideText(name);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TdlgQorOptions::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_HELP && help_ != nullptr && help_->OnHelp(*reinterpret_cast<const HELPINFO*>(lp))) return TRUE;
    return Dialog::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
