#include "ui/options_dlg.h"

#include <shellapi.h>

#include <algorithm>
#include <map>

#include "translation/messages.h"
#include "ui/context_help.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/layout.h"
#include "ui/framework/wide_text.h"
#include "ui/input_text_dlg.h"
#include "ui/message_dlg.h"
#include "ui/shell_run.h"

// <shellapi.h> and the dialogs' headers bring <windows.h>, whose DeleteFile
// macro would rename the file system's member (see platform/platform.h).
#ifdef DeleteFile
#undef DeleteFile
#endif

namespace kelvora::ui {

namespace {

constexpr TFormText kCaptions[] = {
    {"", "Caption", "Options"},
    {"tabGeneral", "Caption", "General"},
    {"tabScanner", "Caption", "Scanner"},
    {"tabUninstaller", "Caption", "Uninstaller"},
    {"lblTreeFont", "Caption", "Changes Tree font"},
    {"lblFontSize", "Caption", "Size"},
    {"lblViewer", "Caption", "Viewer"},
    {"cbHideActivity", "Caption", "Hide activity in the changes tree (changes the setup did not make)"},
    {"gbTranslation", "Caption", "Translation"},
    {"lblLanguage", "Caption", "Language"},
    {"lblTranslatedBy1", "Caption", ""},
    {"lblTranslatedBy2", "Caption", ""},
    {"lblTranslatedBy3", "Caption", ""},
    {"lblExFolders", "Caption", "Exclude folders from scanning"},
    {"btnAddExclFolder", "Caption", "Add"},
    {"btnRemExclFolder", "Caption", "Remove"},
    {"lblIgnFiles", "Caption", "Ignore changes from files"},
    {"btnAddIgnFile", "Caption", "Add"},
    {"btnRemIgnFile", "Caption", "Remove"},
    {"lblIgnKeys", "Caption", "Ignore changes from registry keys"},
    {"btnAddIgnKey", "Caption", "Add"},
    {"btnRemIgnKey", "Caption", "Remove"},
    {"gbRegistry", "Caption", "Registry"},
    {"cbStergValori", "Caption", "Delete created values"},
    {"cbCreezValori", "Caption", "Create deleted values"},
    {"cbRefacValori", "Caption", "Restore changed values"},
    {"cbStergChei", "Caption", "Delete created keys"},
    {"cbCreezChei", "Caption", "Create deleted keys"},
    {"cbDecrementez", "Caption", "Decrease shared dll's counter"},
    {"gbFileSystem", "Caption", "File System"},
    {"cbStergFisiere", "Caption", "Delete created files (shared dll's only if counter reach 0)"},
    {"cbUseRecycled", "Caption", "Use Recycle Bin"},
    {"cbStergDirectoare", "Caption", "Delete created folders"},
    {"gbLog", "Caption", "Log"},
    {"cbErrors", "Caption", "Errors"},
    {"cbWarnings", "Caption", "Warnings"},
    {"cbOk", "Caption", "Successful actions"},
    {"cbAutoDelQor", "Caption", "Automatically delete the monitored changes file if successful uninstall"},
    {"btnViewLog", "Caption", "View log"},
    {"btnClearLog", "Caption", "Clear log"},
    {"btnOk", "Caption", "&Ok"},
    {"btnCancel", "Caption", "&Cancel"},
    {"bfExclFolder", "Title", "Choose a folder to exclude from scanning"},
    {"odIgnFiles", "Filter", "All files (*.*)|*.*"},
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

std::span<const TFormText> OptionsCaptions() { return kCaptions; }

TdlgQorOptions::TdlgQorOptions(Services s)
    : context_(s.context),
      os_(s.os),
      translator_(s.translator),
      help_(s.help),
      settingsKey_(std::move(s.settingsKey)) {}

TdlgQorOptions::~TdlgQorOptions() = default;

bool TdlgQorOptions::Execute(HWND owner) {
    CreateParams p;
    p.ClassName = "TdlgQorOptions";
    p.Title = "Options";
    p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    p.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (help_ != nullptr ? WS_EX_CONTEXTHELP : 0);
    p.Bounds = {0, 0, 100, 100};  // Layout sizes and centres it
    p.Parent = owner;
    if (!Create(p)) return false;
    CreateControls();
    AddTexts();
    AddHelpContexts();
    WireEvents();
    FormShow();
    Layout();
    RECT own;
    GetWindowRect(Handle(), &own);
    const RECT at = CentredOn(owner, own.right - own.left, own.bottom - own.top);
    SetWindowPos(Handle(), nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pcOptions.SetActivePage(0);
    cmbTreeFont.Focus();
    return RunModal(owner) == IDOK;
}

void TdlgQorOptions::CreateControls() {
    font_ = CreateMessageFont(Dpi());
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    const RECT none{0, 0, 10, 10};  // Layout places everything
    pcOptions.Create(Handle(), idPcOptions, none);
    HWND general = pcOptions.AddPage("General").Handle();
    HWND scanner = pcOptions.AddPage("Scanner").Handle();
    HWND uninstaller = pcOptions.AddPage("Uninstaller").Handle();

    lblTreeFont.Create(general, -1, "", none);
    cmbTreeFont.Create(general, idCmbTreeFont, none, Scale(16));
    lblFontSize.Create(general, -1, "", none);
    seFontSize.Create(general, idSeFontSize, none, kMinTreeFontSize, kMaxTreeFontSize, kMinTreeFontSize);
    seFontSize.Editor().SetMaxLength(2);
    lblViewer.Create(general, -1, "", none);
    edViewer.Create(general, idEdViewer, "", none);
    cbHideActivity.Create(general, idCbHideActivityOption, "", none);
    gbTranslation.Create(general, -1, "", none);
    lblLanguage.Create(general, -1, "", none);
    cmbLanguages.Create(general, idCmbLanguages, none, Scale(22));
    for (Label* l : {&lblTranslatedBy1, &lblTranslatedBy2, &lblTranslatedBy3})
        l->Create(general, -1, "", none, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS);

    const struct {
        Label& label;
        ListView& list;
        Button& add;
        Button& remove;
        int id;
    } lists[] = {{lblExFolders, lvExFolders, btnAddExclFolder, btnRemExclFolder, idLvExFolders},
                 {lblIgnFiles, lvIgnFiles, btnAddIgnFile, btnRemIgnFile, idLvIgnFiles},
                 {lblIgnKeys, lvIgnKeys, btnAddIgnKey, btnRemIgnKey, idLvIgnKeys}};
    for (const auto& l : lists) {
        l.label.Create(scanner, -1, "", none);
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

    gbRegistry.Create(uninstaller, -1, "", none);
    cbStergValori.Create(uninstaller, idCbStergValori, "", none);
    cbCreezValori.Create(uninstaller, idCbCreezValori, "", none);
    cbRefacValori.Create(uninstaller, idCbRefacValori, "", none);
    cbStergChei.Create(uninstaller, idCbStergChei, "", none);
    cbCreezChei.Create(uninstaller, idCbCreezChei, "", none);
    cbDecrementez.Create(uninstaller, idCbDecrementez, "", none);
    gbFileSystem.Create(uninstaller, -1, "", none);
    cbStergFisiere.Create(uninstaller, idCbStergFisiere, "", none);
    cbUseRecycled.Create(uninstaller, idCbUseRecycled, "", none);
    cbStergDirectoare.Create(uninstaller, idCbStergDirectoare, "", none);
    gbLog.Create(uninstaller, -1, "", none);
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

std::map<std::string_view, Control*, NoCaseLess> TdlgQorOptions::NamedControls() {
    return {
        {"lblTreeFont", &lblTreeFont}, {"cmbTreeFont", &cmbTreeFont}, {"lblFontSize", &lblFontSize},
        {"seFontSize", &seFontSize.Editor()}, {"lblViewer", &lblViewer}, {"edViewer", &edViewer},
        {"cbHideActivity", &cbHideActivity},
        {"gbTranslation", &gbTranslation}, {"lblLanguage", &lblLanguage}, {"cmbLanguages", &cmbLanguages},
        {"lblTranslatedBy1", &lblTranslatedBy1}, {"lblTranslatedBy2", &lblTranslatedBy2},
        {"lblTranslatedBy3", &lblTranslatedBy3}, {"lblExFolders", &lblExFolders}, {"lvExFolders", &lvExFolders},
        {"btnAddExclFolder", &btnAddExclFolder}, {"btnRemExclFolder", &btnRemExclFolder},
        {"lblIgnFiles", &lblIgnFiles}, {"lvIgnFiles", &lvIgnFiles}, {"btnAddIgnFile", &btnAddIgnFile},
        {"btnRemIgnFile", &btnRemIgnFile}, {"lblIgnKeys", &lblIgnKeys}, {"lvIgnKeys", &lvIgnKeys},
        {"btnAddIgnKey", &btnAddIgnKey}, {"btnRemIgnKey", &btnRemIgnKey}, {"gbRegistry", &gbRegistry},
        {"cbStergValori", &cbStergValori}, {"cbCreezValori", &cbCreezValori}, {"cbRefacValori", &cbRefacValori},
        {"cbStergChei", &cbStergChei}, {"cbCreezChei", &cbCreezChei}, {"cbDecrementez", &cbDecrementez},
        {"gbFileSystem", &gbFileSystem}, {"cbStergFisiere", &cbStergFisiere}, {"cbUseRecycled", &cbUseRecycled},
        {"cbStergDirectoare", &cbStergDirectoare}, {"gbLog", &gbLog}, {"cbErrors", &cbErrors},
        {"cbWarnings", &cbWarnings}, {"cbOk", &cbOk}, {"cbAutoDelQor", &cbAutoDelQor}, {"btnViewLog", &btnViewLog},
        {"btnClearLog", &btnClearLog}, {"btnOk", &btnOk}, {"btnCancel", &btnCancel},
    };
}

// The controls' help contexts (the title bar's help button, then a click on
// a control, shows its pop-up).
void TdlgQorOptions::AddHelpContexts() {
    for (const auto& [name, control] : NamedControls()) SetHelpContext(control->Handle(), name);
    SetHelpContext(seFontSize.UpDown(), "seFontSize");
}

// The dialog's texts, English first, then as the language file says.
void TdlgQorOptions::AddTexts() {
    const std::map<std::string_view, Control*, NoCaseLess> controls = NamedControls();
    constexpr std::string_view kTabs[] = {"tabGeneral", "tabScanner", "tabUninstaller"};
    for (const TFormText& c : kCaptions) {
        TFormTexts::Setter set;
        if (c.Component.empty()) {
            set = [this](std::string_view text) { SetWindowTextA(Handle(), std::string(text).c_str()); };
            texts_.SetTitle = set;
        } else if (auto it = controls.find(c.Component); it != controls.end()) {
            Control* control = it->second;
            set = [control](std::string_view text) { control->SetText(text); };
        } else if (c.Component == "bfExclFolder") {
            set = [this](std::string_view text) { browseTitle_ = text; };
        } else if (c.Component == "odIgnFiles") {
            set = [this](std::string_view text) { filesFilter_ = text; };
        } else {
            for (int i = 0; i < 3; ++i)
                if (c.Component == kTabs[i]) set = [this, i](std::string_view text) { pcOptions.SetCaption(i, text); };
        }
        set(c.English);
        texts_.Add(std::string(c.Component), std::string(c.Property), std::string(c.English), std::move(set));
    }
    texts_.SetCharset = [this](int charset) {
        LOGFONTA lf{};
        Font message = CreateMessageFont(Dpi());
        GetObjectA(message.Get(), sizeof lf, &lf);
        lf.lfCharSet = static_cast<BYTE>(charset);
        // The controls let go of the old font before it is deleted.
        Font next(CreateFontIndirectA(&lf));
        SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(next.Get()), FALSE);
        EnumChildWindows(
            Handle(),
            [](HWND child, LPARAM font) -> BOOL {
                SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(next.Get()));
        font_ = std::move(next);
    };
}

void TdlgQorOptions::WireEvents() {
    btnAddExclFolder.OnClick = [this] { btnAddExclFolderClick(); };
    btnAddIgnFile.OnClick = [this] { btnAddIgnFileClick(); };
    btnAddIgnKey.OnClick = [this] { btnAddIgnKeyClick(); };
    btnViewLog.OnClick = [this] { btnViewLogClick(); };
    btnClearLog.OnClick = [this] { btnClearLogClick(); };
    btnOk.OnClick = [this] { btnOkClick(); };
    btnCancel.OnClick = [this] { EndModal(IDCANCEL); };
    cbStergFisiere.OnClick = [this] { cbUseRecycled.SetEnabled(cbStergFisiere.Checked()); };
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
    cbUseRecycled.SetEnabled(v.DeleteFiles);
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
    std::vector<std::string> files = ListItems(lvIgnFiles);
    for (const std::string& file : ChooseFilesToOpen(Handle(), filesFilter_))
        if (AddUnique(files, file)) lvIgnFiles.AddItem({file});
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
    std::vector<std::string> keys = ListItems(lvIgnKeys);
    if (AddUnique(keys, dialog.Text)) lvIgnKeys.AddItem({dialog.Text});
}

std::string TdlgQorOptions::LogFile() const { return context_.ProgramFolder + "\\Log.txt"; }

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

void TdlgQorOptions::btnOkClick() {
    StoreOptionValues(Values(), context_.Settings, context_.ProgramFolder);
    translator_.SetLanguage(context_.Settings.Language);
    SaveSettings(os_.registry, context_.Settings, context_.ProgramFolder, settingsKey_);
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
    // Enter and Escape reach here from IsDialogMessage as IDOK and IDCANCEL.
    if (msg == WM_COMMAND && lp == 0) {
        if (LOWORD(wp) == IDOK) btnOkClick();
        if (LOWORD(wp) == IDCANCEL) EndModal(IDCANCEL);
        return 0;
    }
    if (msg == WM_CLOSE) {
        EndModal(IDCANCEL);
        return 0;
    }
    if (msg == WM_HELP && help_ != nullptr && help_->OnHelp(*reinterpret_cast<const HELPINFO*>(lp))) return TRUE;
    return Window::OnMessage(msg, wp, lp);
}

}  // namespace kelvora::ui
