// The main window as a whole: its creation (FormCreate), showing the
// wizard's screen, the list of monitored applications, the notification
// area, the About box, drops, and the close with what it stores.
#include "ui/main_window.h"

#include "monitoring/start_up.h"
#include "platform/win32/date_time_win.h"
#include "settings/settings_store.h"
#include "translation/messages.h"
#include "ui/about_dlg.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/popup_menu.h"
#include "ui/input_text_dlg.h"
#include "ui/main_captions.h"
#include "ui/message_dlg.h"

namespace kelvora::ui {

namespace {

// The size of the window as created and its smallest, at 96 dpi.
constexpr int kWidth = 593;
constexpr int kHeight = 404;
constexpr int kMinWidth = 576;
constexpr int kMinHeight = 404;

constexpr const char* kTitle = "Kelvora";

}  // namespace

TfrmQorMain::TfrmQorMain(Services services)
    : context_(services.context),
      os_(services.os),
      dispatcher_(services.dispatcher),
      programFile_(std::move(services.programFile)),
      model_(context_.Settings),
      tvChanges(model_, os_.collation),
      workers_(context_, os_, dispatcher_) {}

TfrmQorMain::~TfrmQorMain() {
    // A worker still running reports to the window: it goes first, then
    // the handle, before any control.
    wizard_.reset();
    link_.reset();
    tray_.Hide();
    Destroy();
    if (appMutex_ != nullptr) CloseHandle(appMutex_);
}

UINT TfrmQorMain::JustOneStartMessage() {
    static const UINT message = RegisterWindowMessageA("Kelvora.JustOneStart");
    return message;
}

bool TfrmQorMain::Create() {
    const UINT dpi = GetDpiForSystem();
    CreateParams p;
    p.ClassName = kMainWindowClass;
    p.Title = kTitle;
    p.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    p.ExStyle = WS_EX_CONTROLPARENT;
    p.Bounds = {CW_USEDEFAULT, CW_USEDEFAULT, MulDiv(kWidth, static_cast<int>(dpi), 96),
                MulDiv(kHeight, static_cast<int>(dpi), 96)};
    p.Icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    if (!Window::Create(p)) return false;
    FormCreate();
    return true;
}

void TfrmQorMain::FormCreate() {
    // A setup program may look for this mutex to learn that Kelvora runs.
    appMutex_ = CreateMutexA(nullptr, FALSE, "Kelvora");
    minWidth_ = Scale(kMinWidth);
    minHeight_ = Scale(kMinHeight);

    // The languages beside the program; English until the settings say
    // otherwise.
    const std::string folder = programFile_.substr(0, programFile_.find_last_of('\\'));
    translator_ = std::make_unique<TTranslator>(os_.files, folder);
    translator_->SetLanguage("English");

    // The program's folder, also made the current directory (nothing
    // depends on that: every file is named by its full path), and the
    // settings.
    const std::string settingsError = StartUp(context_, os_, programFile_);
    os_.files.SetCurrentDir(context_.ProgramFolder);
    // The language of the settings as soon as they are there, so that every
    // text the window makes from now on speaks it.
    translator_->SetLanguage(context_.Settings.Language);

    icon_.Reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                              GetSystemMetricsForDpi(SM_CXSMICON, Dpi()),
                                              GetSystemMetricsForDpi(SM_CYSMICON, Dpi()), 0)));
    CreateControls();
    AddTexts();
    SetupHelp();
    pages_.SetActivePage(0);
    wizard_ = std::make_unique<TWizard>(context_, os_, dispatcher_, model_, static_cast<IWizardHost&>(*this), workers_,
                                        programFile_);
    link_ = std::make_unique<DispatcherLink>(*this, dispatcher_);
    WireEvents();
    SetMainWindowForMessages(Handle());
    Layout();
    if (!settingsError.empty()) Message(settingsError, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
    // The target boxes from the settings; the resumed start or the list.
    wizard_->FormCreate();
    TranslateWindow();

    // Size and position as they were, then the tree's column widths and the
    // display of binary data.
    const TWindowPlacement placement = LoadWindowPlacement(os_.registry, WindowPlacementKeyPath(kTitle));
    RECT rc;
    GetWindowRect(Handle(), &rc);
    const int w = placement.Width.value_or(rc.right - rc.left), h = placement.Height.value_or(rc.bottom - rc.top);
    const int x = placement.Left.value_or(rc.left), y = placement.Top.value_or(rc.top);
    SetWindowPos(Handle(), nullptr, x, y, std::max(w, minWidth_), std::max(h, minHeight_), SWP_NOZORDER | SWP_NOACTIVATE);
    if (placement.Maximized) maximise_ = true;
    // Widths are stored only once the user has set them; until then the
    // columns follow what the tree shows (TreeFinishForViewing).
    const TColumnWidths widths = LoadColumnWidths(os_.registry);
    if (widths.ChangeColumn) tvChanges.Tree().SetColumnWidth(0, *widths.ChangeColumn);
    if (widths.BeforeColumn) tvChanges.Tree().SetColumnWidth(1, *widths.BeforeColumn);
    columnsSetByUser_ = widths.ChangeColumn.has_value() || widths.BeforeColumn.has_value();
    tvChanges.Tree().OnColumnsResized = [this] { columnsSetByUser_ = true; };
    rgDisplay.SetItemIndex(context_.Settings.BinaryHexa ? 1 : 0);
    tvChanges.SetBinaryHexa(context_.Settings.BinaryHexa);
    ShowHideActivity();
}

void TfrmQorMain::Show(int show) {
    ShowWindow(Handle(), maximise_ ? SW_SHOWMAXIMIZED : show);
    UpdateWindow(Handle());
}

void TfrmQorMain::WireEvents() {
    rgChoice.OnChange = [this](int index) {
        Forward([&] { index == 0 ? wizard_->rbInstallClick() : wizard_->rbUninstallClick(); });
    };
    edIdentif.SetCharFilter([this](char c) { return TWizard::IdentifierKeyAllowed(edIdentif.Text(), c); });
    edIdentif.OnChange = [this] { Forward([&] { wizard_->edIdentifChange(edIdentif.Text()); }); };
    lvQorFiles.OnSelectionChange = [this] { Forward([&] { wizard_->lvQorFilesSelectItem(); }); };
    lvQorFiles.OnContextMenu = [this](POINT pt) { ListContextMenu(pt); };
    lvQorFiles.SetCompare([this](LPARAM a, LPARAM b, int column) {
        return wizard_->CompareListRows(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)], column);
    });
    btnOptions.OnClick = [this] { btnOptionsClick(); };
    for (int t = 0; t < kTargetCount; ++t) {
        targets_[static_cast<std::size_t>(t)].OnClick = [this, t] {
            Forward([&] { wizard_->TargetClick(static_cast<TTarget>(t), targets_[static_cast<std::size_t>(t)].Checked()); });
        };
    }
    edOthers.OnChange = [this] { Forward([&] { wizard_->edOthersChange(edOthers.Text()); }); };
    rgRunMode.OnChange = [this](int index) { Forward([&] { wizard_->RunModeClick(static_cast<TRunMode>(index)); }); };
    edSetupPath.SetCharFilter([this](char c) { return TWizard::SetupPathKeyAllowed(edSetupPath.Text(), c); });
    edSetupPath.OnChange = [this] { Forward([&] { wizard_->edSetupPathChange(edSetupPath.Text()); }); };
    btnBrowse.OnClick = [this] { wizard_->btnBrowseClick(); };
    rgDisplay.OnChange = [this](int index) {
        context_.Settings.BinaryHexa = index == 1;
        tvChanges.SetBinaryHexa(index == 1);
    };
    cbHideActivity.OnClick = [this] {
        context_.Settings.HideActivity = cbHideActivity.Checked();
        ShowHideActivity();
    };
    btnSave.OnClick = [this] { wizard_->btnSaveClick(); };
    btnPrint.OnClick = [this] { PrintTree(); };
    btnExport.OnClick = [this] { ExportTree(); };
    cbShowIgnored.OnClick = [this] { Forward([&] { wizard_->cbShowIgnoredClick(cbShowIgnored.Checked()); }); };
    tvChanges.Tree().OnContextMenu = [this](POINT pt) { TreeContextMenu(pt); };
    btnAbout.OnClick = [this] { ShowAbout(); };
    btnBack.OnClick = [this] { wizard_->btnBackClick(); };
    btnNext.OnClick = [this] { wizard_->btnNextClick(); };
    btnExit.OnClick = [this] { wizard_->btnExitClick(); };
    AcceptFiles([this](std::vector<std::string> files) { wizard_->FilesDropped(files); });
    // A page entered gives the keyboard to what it is for: the identifier
    // or the list on the first page, the tree on the tree page.
    pages_.SetPageEvents(static_cast<int>(TPage::pnlFirst), [this] {
        if (rgChoice.ItemIndex() == 0) edIdentif.Focus();
        else lvQorFiles.Focus();
    }, nullptr);
    pages_.SetPageEvents(static_cast<int>(TPage::pnlTree), [this] { tvChanges.Tree().Focus(); }, nullptr);
    tray_.Menu().AddItem(pmiRestore, Caption(pmiRestore));
    tray_.Menu().AddItem(pmiExit, Caption(pmiExit));
    tray_.Menu().SetDefault(pmiRestore);
    tray_.OnDoubleClick = [this] { Restore(); };
    tray_.OnCommand = [this](UINT id) {
        if (id == pmiRestore) Restore();
        if (id == pmiExit) FormClose();
    };
}

// ------------------------------------------------------ showing the screen

void TfrmQorMain::ShowScreen(const TWizardScreen& s) {
    if (Handle() == nullptr) return;
    applying_ = true;
    auto enable = [](Control& c, bool on) {
        if (c.Enabled() != on) c.SetEnabled(on);
    };
    auto text = [](Control& c, const std::string& t) {
        if (c.Text() != t) c.SetText(t);
    };
    auto check = [](RadioGroup& g, int index) {
        if (g.ItemIndex() != index) g.SetItemIndex(index);
    };
    const bool first = !shownOnce_;
    if (first || s.Page != shown_.Page) pages_.SetActivePage(static_cast<int>(s.Page));
    if (first || s.Title != shown_.Title) SetWindowTextA(Handle(), s.Title.c_str());
    if (first || s.Status != shown_.Status) {
        lblStatus.SetText(s.Status);
        RECT status;
        GetClientRect(lblStatus.Handle(), &status);
        if (status.right > 0 && StatusHeight(status.right) != statusHeight_) Relayout();
    }
    if (first || s.ExitCaption != shown_.ExitCaption) btnExit.SetText(s.ExitCaption);
    enable(btnNext, s.NextEnabled);
    enable(btnBack, s.BackEnabled);
    if (first || s.MainEnabled != shown_.MainEnabled) EnableWindow(pnlMain.Handle(), s.MainEnabled ? TRUE : FALSE);
    if (first || s.ProgressMax != shown_.ProgressMax) pbProgress.SetMax(s.ProgressMax);
    if (first || s.ProgressPosition != shown_.ProgressPosition) pbProgress.SetPosition(s.ProgressPosition);

    check(rgChoice, s.InstallChosen ? 0 : 1);
    text(edIdentif, s.Identifier);
    enable(edIdentif, s.IdentifierEnabled);
    if (lvQorFiles.Enabled() != s.ListEnabled) {
        lvQorFiles.SetEnabled(s.ListEnabled);
        ApplyListColours();
    }
    for (int t = 0; t < kTargetCount; ++t) {
        CheckBox& box = targets_[static_cast<std::size_t>(t)];
        if (box.Checked() != s.Targets[t].Checked) box.SetChecked(s.Targets[t].Checked);
        enable(box, s.Targets[t].Enabled);
    }
    text(edOthers, s.OtherPaths);
    enable(edOthers, s.OtherPathsEnabled);
    check(rgRunMode, static_cast<int>(s.RunMode));
    for (int i = 0; i < rgRunMode.Count(); ++i) enable(rgRunMode.Item(i), s.RunModesEnabled);
    text(edSetupPath, s.SetupPath);
    enable(edSetupPath, s.SetupPathEnabled);
    enable(btnBrowse, s.BrowseEnabled);
    enable(btnSave, s.SaveEnabled);
    enable(btnPrint, s.PrintEnabled);
    if (first || s.LogEnabled != shown_.LogEnabled) ShowLogEnabled(s.LogEnabled);
    enable(btnExport, s.ExportEnabled);
    const bool ignoredBox = s.ShowIgnoredVisible && !s.InstallChosen;
    if (first || ignoredBox != (shown_.ShowIgnoredVisible && !shown_.InstallChosen)) {
        cbShowIgnored.SetVisible(ignoredBox);
        Relayout();  // the box may need a row of its own
    }
    if (cbShowIgnored.Checked() != s.ShowIgnored) cbShowIgnored.SetChecked(s.ShowIgnored);
    shown_ = s;
    shownOnce_ = true;
    applying_ = false;
}

void TfrmQorMain::ApplyListColours() {
    // A disabled list shows in the button-face colour, as a disabled edit does.
    const COLORREF back = GetSysColor(lvQorFiles.Enabled() ? COLOR_WINDOW : COLOR_BTNFACE);
    ListView_SetBkColor(lvQorFiles.Handle(), back);
    ListView_SetTextBkColor(lvQorFiles.Handle(), back);
    InvalidateRect(lvQorFiles.Handle(), nullptr, TRUE);
}

TModalResult TfrmQorMain::Message(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons) {
    return ShowMessageDlg(text, type, buttons);
}

void TfrmQorMain::Focus(TFocus control) {
    switch (control) {
    case TFocus::edIdentif: edIdentif.Focus(); break;
    case TFocus::edOthers: edOthers.Focus(); break;
    case TFocus::edSetupPath: edSetupPath.Focus(); break;
    case TFocus::btnNext: btnNext.Focus(); break;
    case TFocus::btnExit: btnExit.Focus(); break;
    }
}

// --------------------------------------------------------- monitored list

void TfrmQorMain::ListClear() {
    lvQorFiles.Clear();
    rows_.clear();
}

void TfrmQorMain::ListAdd(const TArchiveRow& row) {
    rows_.push_back(row);
    lvQorFiles.AddItem({row.Identifier, row.Created, row.LastUsed, row.Uses}, static_cast<LPARAM>(rows_.size() - 1));
}

void TfrmQorMain::ListSelectFirst() {
    if (lvQorFiles.Count() == 0) return;
    // The order the user chose by a header click holds for a new filling too.
    if (lvQorFiles.SortColumn() >= 0) lvQorFiles.SortBy(lvQorFiles.SortColumn(), lvQorFiles.SortAscending());
    lvQorFiles.Select(0);
}

std::optional<std::string> TfrmQorMain::ListSelected() {
    const int item = lvQorFiles.SelectedIndex();
    if (item < 0) return std::nullopt;
    return rows_[static_cast<std::size_t>(lvQorFiles.ItemParam(item))].Identifier;
}

void TfrmQorMain::ListRenameSelected(std::string_view identifier) {
    const int item = lvQorFiles.SelectedIndex();
    if (item < 0) return;
    rows_[static_cast<std::size_t>(lvQorFiles.ItemParam(item))].Identifier = std::string(identifier);
    lvQorFiles.SetCell(item, 0, identifier);
}

void TfrmQorMain::ListRemoveSelected() {
    const int item = lvQorFiles.SelectedIndex();
    if (item >= 0) lvQorFiles.DeleteItem(item);
}

std::string TfrmQorMain::DateTimeText(double when) { return platform::win32::LocalDateTimeText(when, true); }

void TfrmQorMain::ListContextMenu(POINT pt) {
    if (!lvQorFiles.Enabled()) return;
    PopupMenu menu;
    menu.AddItem(pmiDelete, Caption(pmiDelete));
    menu.AddItem(pmiRename, Caption(pmiRename));
    const bool selected = lvQorFiles.SelectedIndex() >= 0;
    menu.SetEnabled(pmiDelete, selected);
    menu.SetEnabled(pmiRename, selected);
    const UINT id = menu.Track(Handle(), pt);
    if (id == pmiDelete) wizard_->btnRemoveClick();
    if (id == pmiRename) wizard_->btnRenameClick();
}

std::optional<std::string> TfrmQorMain::AskNewName(std::string_view current) {
    TdlgInputText dialog;
    dialog.Caption = TranslateString(RS_RENAME);
    dialog.LabelText = TranslateString(RS_NEW_NAME);
    dialog.OkCaption = TranslateString(RS_OK);
    dialog.CancelCaption = TranslateString(RS_CANCEL);
    dialog.Text = std::string(current);
    if (!dialog.Execute(Handle())) return std::nullopt;
    return dialog.Text;
}

std::optional<std::string> TfrmQorMain::ChooseSetupFile(std::string_view initialFolder) {
    return ChooseFileToOpen(Handle(), Caption(idSetupDialogFilter), initialFolder, Caption(idSetupDialogTitle),
                            "exe");
}

void TfrmQorMain::ShowAbout() {
    TdlgAboutQor about;
    about.Execute(Handle(), *translator_);
}

// ---------------------------------------------------- notification area

void TfrmQorMain::Minimise() {
    // The taskbar button goes; the icon stands for the window.
    tray_.Show(Handle(), icon_.Get(), kTitle);
    ShowWindow(Handle(), SW_HIDE);
}

void TfrmQorMain::Restore() {
    tray_.Hide();
    ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(Handle());
}

// -------------------------------------------------------------- messages

LRESULT TfrmQorMain::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == JustOneStartMessage()) {
        Restore();
        return 0;
    }
    if (msg == TrayIcon::TaskbarCreatedMessage()) {
        tray_.TaskbarCreated();
        return 0;
    }
    switch (msg) {
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED) Minimise();
        else Layout();
        return 0;
    case WM_GETMINMAXINFO:
        if (IsWindowVisible(Handle())) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize = {minWidth_, minHeight_};
            return 0;
        }
        break;
    case TrayIcon::kTrayMessage:
        tray_.HandleMessage(lp);
        return 0;
    case WM_CLOSE:
        FormClose();
        return 0;
    case WM_COMMAND:
        // Enter reaches the default button as a command without its handle.
        if (lp == 0 && LOWORD(wp) == idBtnNext) {
            wizard_->btnNextClick();
            return 0;
        }
        if (lp == 0 && LOWORD(wp) == IDCANCEL) return 0;
        break;
    default:
        break;
    }
    return Window::OnMessage(msg, wp, lp);
}

bool TfrmQorMain::PreTranslate(MSG& msg) {
    if (help_ != nullptr && help_->FilterMessage(msg)) return true;
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_DELETE) return false;
    if (msg.hwnd == lvQorFiles.Handle()) {
        if (lvQorFiles.Enabled()) wizard_->btnRemoveClick();
        return true;
    }
    if (msg.hwnd == tvChanges.Tree().Handle()) {
        wizard_->RemoveBranch(tvChanges.FocusedNode());
        return true;
    }
    return false;
}

void TfrmQorMain::OnDpiChanged(const RECT& suggested) {
    minWidth_ = Scale(kMinWidth);
    minHeight_ = Scale(kMinHeight);
    ApplyFonts();
    tvChanges.SetDpi(Dpi(), context_.Settings.ChangesTreeFont, context_.Settings.ChangesTreeFontSize,
                     static_cast<BYTE>(translator_->Charset()));
    Window::OnDpiChanged(suggested);
    Layout();
}

void TfrmQorMain::OnDestroyed() {
    tray_.Hide();
    PostQuitMessage(0);
}

// ----------------------------------------------------------------- close

void TfrmQorMain::CloseWindow() { SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void TfrmQorMain::FormClose() {
    if (!wizard_->FormCloseQuery()) return;
    StoreOnClose();
    DestroyWindow(Handle());
}

void TfrmQorMain::StoreOnClose() {
    WINDOWPLACEMENT wp{sizeof(wp)};
    GetWindowPlacement(Handle(), &wp);
    TWindowPlacement placement;
    // A window minimised to the notification area counts as it was before.
    placement.Maximized = IsZoomed(Handle()) ||
                          (IsIconic(Handle()) && (wp.flags & WPF_RESTORETOMAXIMIZED) != 0);
    if (!placement.Maximized) {
        RECT rc = wp.rcNormalPosition;
        if (!IsIconic(Handle()) && IsWindowVisible(Handle())) GetWindowRect(Handle(), &rc);
        placement.Width = rc.right - rc.left;
        placement.Height = rc.bottom - rc.top;
        placement.Left = rc.left;
        placement.Top = rc.top;
    }
    SaveWindowPlacement(os_.registry, placement, WindowPlacementKeyPath(kTitle));
    if (columnsSetByUser_)
        SaveColumnWidths(os_.registry, {tvChanges.Tree().ColumnWidth(0), tvChanges.Tree().ColumnWidth(1)});
    const std::string failure = SaveSettingsFailure(os_.registry, context_.Settings, context_.ProgramFolder);
    if (!failure.empty()) Message(failure, TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

}  // namespace kelvora::ui
