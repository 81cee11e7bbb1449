// Activity in the real main window, in English and in German: an archive
// written by the engine with changes of the setup and activity is loaded for
// uninstall; the rows show who made each change and activity starts
// unchecked; hiding it (the tree page's box, the options dialog) takes its
// rows out of view and back without touching a check box; the status line
// counts both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "changes/archive_save.h"
#include "changes/chg_archive.h"
#include "platform/win32/win32_platform_win.h"
#include "support/change_records.h"
#include "support/gui_win.h"
#include "support/layout_check_win.h"
#include "support/main_window_run_win.h"
#include "support/modal_robot_win.h"
#include "support/shipped_languages_win.h"
#include "translation/messages.h"
#include "ui/main_captions.h"
#include "ui/options_dlg.h"

namespace kelvora::ui {
namespace {

using namespace test;

constexpr const char* kVendorKey = "Software\\KelvoraActivityVendor";
constexpr const char* kNoiseKey = "Software\\KelvoraActivityNoise";

void Touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
}

// Three changes of the setup (a key, its value, a file) and two of activity
// (a file written outside the setup's time, a value in a place Windows
// changes by itself), saved as the archive "Busy" of the program folder.
void WriteBusyArchive(const std::string& programFolder, const std::string& app) {
    TSettings settings;
    ChangesTree tree(settings);
    tree.StartFill(false);
    tree.AddToTree("HKEY_CURRENT_USER\\Software", "KelvoraActivityVendor",
                   Rec(ckRegKeyCreated, "Software", kHkcu));
    TNodeData installed = Rec(ckRegValueCreated, kVendorKey, kHkcu, REG_SZ);
    installed.SetNewText("yes");
    tree.AddToTree(std::string("HKEY_CURRENT_USER\\") + kVendorKey, "Installed", std::move(installed));
    TNodeData noise = Rec(ckRegValueCreated, kNoiseKey, kHkcu, REG_SZ);
    noise.SetNewText("42");
    noise.Activity = arVolatileLocation;
    tree.AddToTree(std::string("HKEY_CURRENT_USER\\") + kNoiseKey, "Counter", std::move(noise));
    const std::string folder = app.substr(0, app.size() - 1);
    TNodeData setupFile = Rec(ckFileCreated, folder);
    setupFile.SetNewText("12");
    tree.AddToTree(folder, "setup.dat", std::move(setupFile));
    TNodeData log = Rec(ckFileCreated, folder);
    log.SetNewText("12");
    log.Activity = arOutsideWindow;
    tree.AddToTree(folder, "cache.log", std::move(log));
    tree.FinishFill();
    platform::win32::Win32Platform win32;
    TChgArchive archive(win32.platform.files, win32.platform.clock, programFolder + "\\Busy");
    SaveChangesTree(tree, archive);
}

struct Row {
    std::string name;
    std::string madeBy;
    TCheckState check;
};

// Every row in view after the keypad's "*" on the top row (everything
// expanded): its name, its "Made by" cell, and the check state of the node
// of that name.
std::vector<Row> Rows(TfrmQorMain& window) {
    HWND list = ChildById(window.Handle(), idTvChanges);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Key(list, VK_MULTIPLY);
    std::vector<Row> rows;
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        rows.push_back({ListViewCell(list, row, 0), ListViewCell(list, row, 3), TCheckState::None});
    auto tree = window.Changes().Lock();
    std::vector<NodeId> pending{tree.Root()};
    std::vector<std::pair<std::string, TCheckState>> states;
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        states.emplace_back(std::string(tree.Data(node).Name), tree.CheckState(node));
        for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child))
            pending.push_back(child);
    }
    for (Row& r : rows)
        for (const auto& [name, state] : states)
            if (name == r.name) r.check = state;
    return rows;
}

const Row* Find(const std::vector<Row>& rows, std::string_view name) {
    for (const Row& r : rows)
        if (r.name == name) return &r;
    return nullptr;
}

class MainWindowActivity : public ::testing::TestWithParam<const char*> {
protected:
    void TearDown() override { SetMessageLanguage("", {}); }
};

TEST_P(MainWindowActivity, GreyedWithItsReasonHiddenAndShownAgainAndCounted) {
    const std::string language = GetParam();
    MainWindowRun run;
    CopyShippedLanguages(run.Folder());
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Language", REG_SZ, language.c_str(),
                    static_cast<DWORD>(language.size() + 1));
    const std::string app = run.Folder() + "App\\";
    CreateDirectoryA(app.c_str(), nullptr);
    Touch(app + "setup.dat");
    Touch(app + "cache.log");
    RegSetKeyValueA(HKEY_CURRENT_USER, kVendorKey, "Installed", REG_SZ, "yes", 4);
    RegSetKeyValueA(HKEY_CURRENT_USER, kNoiseKey, "Counter", REG_SZ, "42", 3);
    WriteBusyArchive(run.Folder(), app);

    ASSERT_TRUE(run.Window().Create());
    run.Window().Show(SW_SHOWNORMAL);
    HWND main = run.Window().Handle();
    TWizard& wizard = run.Wizard();
    wizard.rbUninstallClick();
    HWND list = ChildById(main, idLvQorFiles);
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Pump();
    wizard.btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
    HWND tree = ChildById(main, idTvChanges);
    ASSERT_TRUE(IsWindowVisible(tree));
    LVCOLUMNA column{};
    char caption[64] = {};
    column.mask = LVCF_TEXT;
    column.pszText = caption;
    column.cchTextMax = sizeof caption;
    SendMessageA(tree, LVM_GETCOLUMNA, 3, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(std::string(caption), ShippedText(language, "RESOURCESTRING", "RS_MADE_BY"));

    // Shown: every change, activity with its reason and unchecked.
    std::vector<Row> rows = Rows(run.Window());
    const std::string outside = ShippedText(language, "RESOURCESTRING", "RS_ACT_OUTSIDE_WINDOW");
    const std::string volatilePlace = ShippedText(language, "RESOURCESTRING", "RS_ACT_VOLATILE");
    for (const char* name : {"KelvoraActivityVendor", "Installed", "setup.dat", "cache.log", "Counter",
                             "KelvoraActivityNoise"})
        ASSERT_NE(Find(rows, name), nullptr) << name;
    EXPECT_EQ(Find(rows, "cache.log")->madeBy, outside);
    EXPECT_EQ(Find(rows, "cache.log")->check, TCheckState::Unchecked);
    EXPECT_EQ(Find(rows, "Counter")->madeBy, volatilePlace);
    EXPECT_EQ(Find(rows, "Counter")->check, TCheckState::Unchecked);
    EXPECT_EQ(Find(rows, "setup.dat")->madeBy, "");
    EXPECT_EQ(Find(rows, "setup.dat")->check, TCheckState::Checked);
    EXPECT_EQ(Find(rows, "Installed")->check, TCheckState::Checked);
    const std::string status = WindowText(ChildById(main, idLblStatus));
    EXPECT_EQ(status, FormatText(ShippedText(language, "RESOURCESTRING", "RS_CHANGE_COUNTS"), {"3", "2"}) + "\n" +
                          ShippedText(language, "RESOURCESTRING", "RS_NEXT_UNINSTALL"));
    Screenshot(ShotName(("activity_small_window_" + language).c_str()).c_str());
    // Large enough for the whole tree.
    SetWindowPos(main, nullptr, 0, 0, 900, 620, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    Screenshot(ShotName(("activity_shown_" + language).c_str()).c_str());

    // Hidden from the tree page: the activity and its own branch go, the
    // rest stays, and no check box changed.
    HWND hide = ChildById(main, idCbHideActivity);
    ASSERT_TRUE(IsWindowVisible(hide));
    EXPECT_EQ(WindowText(hide), ShippedText(language, kMainSection, "cbHideActivity.Caption"));
    SendMessageA(hide, BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(run.Context().Settings.HideActivity);
    std::vector<Row> hidden = Rows(run.Window());
    for (const char* name : {"cache.log", "Counter", "KelvoraActivityNoise"}) EXPECT_EQ(Find(hidden, name), nullptr) << name;
    for (const char* name : {"KelvoraActivityVendor", "Installed", "setup.dat"}) EXPECT_NE(Find(hidden, name), nullptr) << name;
    EXPECT_EQ(hidden.size() + 3, rows.size());
    EXPECT_EQ(WindowText(ChildById(main, idLblStatus)), status);
    Screenshot(ShotName(("activity_hidden_" + language).c_str()).c_str());

    // Shown again from the options dialog: every row back as it was.
    {
        ModalRobot robot("options dialog", WindowOfClass("TdlgQorOptions"), {[&](HWND dialog) {
                             auto& d = *dynamic_cast<TdlgQorOptions*>(Window::FromHandle(dialog));
                             EXPECT_TRUE(d.cbHideActivity.Checked());
                             SendMessageA(d.cbHideActivity.Handle(), BM_CLICK, 0, 0);
                             d.btnOk.Click();
                         }});
        SendMessageA(main, WM_COMMAND, MAKEWPARAM(idBtnOptions, BN_CLICKED),
                     reinterpret_cast<LPARAM>(ChildById(main, idBtnOptions)));
        Pump();
    }
    EXPECT_FALSE(run.Context().Settings.HideActivity);
    EXPECT_EQ(SendMessageA(hide, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    std::vector<Row> again = Rows(run.Window());
    ASSERT_EQ(again.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(again[i].name, rows[i].name);
        EXPECT_EQ(again[i].check, rows[i].check) << rows[i].name;
    }

    RegDeleteTreeA(HKEY_CURRENT_USER, kVendorKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kNoiseKey);
    for (const char* name : {"setup.dat", "cache.log"}) DeleteFileA((app + name).c_str());
    RemoveDirectoryA(app.c_str());
    DeleteFileA((run.Folder() + "\\Busy.qor").c_str());
    for (const char* name : {"English", "German", "Romanian"})
        DeleteFileA((run.Folder() + "\\Translations\\" + name + ".lng").c_str());
    RemoveDirectoryA((run.Folder() + "\\Translations").c_str());
}

INSTANTIATE_TEST_SUITE_P(Languages, MainWindowActivity, ::testing::Values("English", "German"));

}  // namespace
}  // namespace kelvora::ui
