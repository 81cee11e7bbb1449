// TfrmQorMain: the program's one window. It shows what the wizard
// (workflow/wizard.h) decides and hands it the user's clicks, keys and
// drops; on its own it lays out its pages by measure, minimises to the
// notification area, shows the changes tree with its context menu, and at
// its close stores its placement, the tree's column widths and the
// settings.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "settings/app_context.h"
#include "translation/form_texts.h"
#include "translation/translator.h"
#include "ui/changes_tree_control.h"
#include "ui/main_captions.h"
#include "ui/context_help.h"
#include "ui/framework/buttons.h"
#include "ui/framework/dispatcher_link.h"
#include "ui/framework/edit.h"
#include "ui/framework/gdi.h"
#include "ui/framework/list_view.h"
#include "ui/framework/pages.h"
#include "ui/framework/progress_bar.h"
#include "ui/framework/rich_log.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/window.h"
#include "workflow/scan_workers.h"
#include "workflow/wizard.h"
#include "workflow/wizard_host.h"

namespace kelvora::ui {

class TfrmQorMain final : public Window, private IWizardHost {
public:
    // What the window works with; all outlive it. context.ProgramFolder is
    // set by FormCreate.
    struct Services {
        AppContext& context;
        platform::Platform& os;
        platform::Dispatcher& dispatcher;
        std::string programFile;  // the program's full path
    };
    explicit TfrmQorMain(Services services);
    ~TfrmQorMain() override;

    // Creates the window (hidden) and runs FormCreate; false when Windows
    // refuses. Show it with Show.
    bool Create();
    // Shows the window as the placement stored says (or as show asks).
    void Show(int show);

    TWizard& Wizard() { return *wizard_; }
    ChangesTree& Changes() { return model_; }
    // Lays the pages out again (after captions changed).
    void Relayout();
    int StatusHeight(int width) const;

    // The message a second start of the program posts to the running one.
    static UINT JustOneStartMessage();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslate(MSG& msg) override;
    void OnDpiChanged(const RECT& suggested) override;
    void OnDestroyed() override;

private:
    // IWizardHost
    void ShowScreen(const TWizardScreen& screen) override;
    TModalResult Message(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void Focus(TFocus control) override;
    void ListClear() override;
    void ListAdd(const TArchiveRow& row) override;
    void ListSelectFirst() override;
    std::optional<std::string> ListSelected() override;
    void ListRenameSelected(std::string_view identifier) override;
    void ListRemoveSelected() override;
    std::string DateTimeText(double when) override;
    void TreeReset() override;
    void TreeExpandRoot() override;
    void TreeFinishForViewing() override;
    void LogClear() override;
    void LogAdd(const std::string& line, std::int32_t level) override;
    int AskRemoveShared(const std::string& fileName, const std::string& folder) override;
    std::optional<std::string> AskNewName(std::string_view current) override;
    std::optional<std::string> ChooseSetupFile(std::string_view initialFolder) override;
    void CloseWindow() override;

    // Creation and layout (main_window_pages.cpp).
    void CreateControls();
    void CreateFirstPage(HWND page);
    void CreateTargetsPage(HWND page);
    void CreateRunPage(HWND page);
    void CreateTreePage(HWND page);
    void CreateLogPage(HWND page);
    void CreateBottom();
    void WireEvents();
    void ApplyFonts();
    // Lays everything out in the client area; when the texts need more
    // room than the window has, the window (and its smallest size) grows.
    void Layout();
    // Each page's layout answers the size its content needs.
    SIZE LayoutFirstPage(int width, int height);
    SIZE LayoutTargetsPage(int width, int height);
    SIZE LayoutRunPage(int width, int height);
    SIZE LayoutTreePage(int width, int height);
    SIZE LayoutLogPage(int width, int height);

    // The parts of the window's own (main_window.cpp).
    void FormCreate();
    void FormClose();
    void StoreOnClose();
    void Minimise();
    void Restore();
    void ShowAbout();

    // The window's texts and languages (main_window_language.cpp).
    void AddTexts();
    // A caption of the caption table in the current language.
    std::string Caption(int id) const;
    void TranslateWindow();
    // The texts that are no captions of controls, after every translation.
    void AfterTranslate(const TFormTexts& form);
    void btnOptionsClick();
    void ListContextMenu(POINT pt);
    void ApplyListColours();

    // The tree page (main_window_tree.cpp).
    void TreeContextMenu(POINT pt);
    void TreeCommand(UINT id);
    void OpenItem(bool view);
    void ShowProperties();
    void ExportTree();

    // The log page, printing and help (main_window_uninstall.cpp).
    void ShowLogEnabled(bool enabled);
    void ApplyLogFont();
    void PrintTree();
    // The tree page's box and the tree follow the setting HideActivity.
    void ShowHideActivity();
    void SetupHelp();

    // Runs a handler of the wizard for a control event, unless the event
    // comes from the wizard's own screen being shown.
    template <class Fn>
    void Forward(Fn&& fn) {
        if (!applying_) fn();
    }

    AppContext& context_;
    platform::Platform& os_;
    platform::Dispatcher& dispatcher_;
    const std::string programFile_;
    HANDLE appMutex_ = nullptr;  // "Kelvora", held for the process's life
    Font font_;
    Font boldFont_;
    Font logFont_;  // reLog's fixed-pitch font
    Icon icon_;
    Icon warningIcon_;

    // pnlMain and its pages, in ShowPage's order.
    Panel pnlMain;
    PageControl pages_;
    // First page.
    RadioGroup rgChoice;  // rbInstall, rbUninstall
    Edit edIdentif;
    Label lblInstall;
    Label lblChoose;
    ListView lvQorFiles;
    Button btnOptions;
    std::vector<TArchiveRow> rows_;  // by item param
    // Targets page: the nine boxes in TTarget order.
    Label lblRegistry;
    Label lblFiles;
    std::array<CheckBox, kTargetCount> targets_;
    Edit edOthers;
    Label imgWarning;
    Label lblWarning;
    Label lblWarningText;
    // Run page.
    RadioGroup rgRunMode;  // rbUna, rbMulte, rbStarted
    Edit edSetupPath;
    Button btnBrowse;
    Label lblUna;
    Label lblMulte;
    Label lblStarted;
    Label lblReferences;
    Label lblReferencesText;
    // Tree page. The model outlives its control.
    ChangesTree model_;
    ChangesTreeControl tvChanges;
    RadioGroup rgDisplay;  // sbString, sbHexa
    CheckBox cbHideActivity;
    Button btnSave;
    Button btnPrint;
    Button btnExport;
    CheckBox cbShowIgnored;
    // Log page.
    Label lblLog;
    RichLog reLog;
    // Below the pages.
    Label lblStatus;
    Label lblProgress;
    ProgressBar pbProgress;
    Button btnAbout;
    Button btnBack;
    Button btnNext;
    Button btnExit;

    TrayIcon tray_;
    TScanWorkers workers_;
    std::unique_ptr<TWizard> wizard_;
    std::unique_ptr<DispatcherLink> link_;
    std::unique_ptr<HtmlHelpViewer> helpViewer_;
    std::unique_ptr<ContextHelp> help_;
    TWizardScreen shown_;
    bool shownOnce_ = false;
    bool maximise_ = false;  // the stored placement: shown maximised
    int statusHeight_ = 0;  // as the last layout gave the status line
    bool columnsSetByUser_ = false;  // the changes tree's widths are the user's
    bool applying_ = false;
    std::unique_ptr<TTranslator> translator_;
    TFormTexts texts_{kMainSection};
    std::map<int, std::string> captions_;  // translated captions by control id
    int minWidth_ = 576;
    int minHeight_ = 404;
    bool growing_ = false;  // Layout is resizing the window
};

}  // namespace kelvora::ui
