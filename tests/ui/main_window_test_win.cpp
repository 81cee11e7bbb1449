// The main window in this process, at the screen's dpi (and, through
// HighDpi, at 120): every page of the install path holds its texts, also
// when every caption is a third longer, as translations are; and files
// dropped on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <shlobj.h>

#include "support/gui_win.h"
#include "support/layout_check_win.h"
#include "support/main_window_run_win.h"
#include "support/modal_robot_win.h"
#include "ui/main_captions.h"
#include "ui/main_window.h"

namespace kelvora::ui {
namespace {

using namespace test;

// The layout problems of the visible page and of what lies below the pages.
Problems PageProblems(HWND main, int pageId, const char* shot) {
    Pump();
    const int font = MulDiv(8, static_cast<int>(ScreenDpi()), 72);  // Tahoma 8 points
    HWND page = ChildById(main, pageId);
    Problems problems = LayoutProblems(page, font);
    for (std::string& p : LayoutProblems(main, font)) problems.push_back("below the pages: " + p);
    if (!IsWindowVisible(page)) problems.push_back("the page is not shown");
    Screenshot(ShotName(shot).c_str());
    return problems;
}

TEST(DpiLayout, MainWindowPagesHoldTheirTexts) {
    ExpectAskedDpi();
    for (bool longer : {false, true}) {
        SCOPED_TRACE(longer ? "captions a third longer" : "English captions");
        MainWindowRun run;
        ASSERT_TRUE(run.Window().Create());
        HWND main = run.Window().Handle();
        if (longer) {
            for (const FormRow& c : MainCaptions()) {
                if (HWND control = ChildById(main, c.Id); control != nullptr && c.English != nullptr) {
                    std::string text(c.English);
                    std::string more = text.substr(0, text.size() / 3);
                    std::erase(more, '&');
                    SetWindowTextA(control, (text + " " + more).c_str());
                }
            }
            run.Window().Relayout();
        }
        run.Window().Show(SW_SHOWNORMAL);
        const std::string suffix = longer ? "_long" : "";
        EXPECT_EQ(PageProblems(main, idPnlFirst, ("main_first" + suffix).c_str()), Problems{});
        run.Wizard().edIdentifChange("Layout");
        run.Wizard().btnNextClick();
        EXPECT_EQ(PageProblems(main, idPnlTargets, ("main_targets" + suffix).c_str()), Problems{});
        // Only "Other folders", left empty: a scan of nothing.
        run.Wizard().TargetClick(tgOthers, true);
        run.Wizard().btnNextClick();
        ASSERT_TRUE(run.WaitForWorker());
        EXPECT_EQ(PageProblems(main, idPnlRun, ("main_run" + suffix).c_str()), Problems{});
        run.Wizard().RunModeClick(TRunMode::rbStarted);
        run.Wizard().btnNextClick();
        ASSERT_TRUE(run.WaitForWorker());
        EXPECT_EQ(PageProblems(main, idPnlTree, ("main_tree" + suffix).c_str()), Problems{});
    }
}

// Files dropped from the shell: the HDROP that WM_DROPFILES carries.
HGLOBAL DropOf(const std::vector<std::wstring>& files) {
    std::size_t chars = 1;
    for (const std::wstring& f : files) chars += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* next = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& f : files) next = std::copy(f.begin(), f.end(), next) + 1;
    GlobalUnlock(memory);
    return memory;
}

TEST(MainWindow, DropsNameTheIdentifierOnTheFirstPageAndTheSetupOnTheRunPage) {
    MainWindowRun run;
    ASSERT_TRUE(run.Window().Create());
    HWND main = run.Window().Handle();
    auto drop = [&](const std::vector<std::wstring>& files) {
        SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(files)), 0);
    };
    // Of several files the last counts; a generic setup name gives its folder's.
    drop({L"C:\\Downloads\\other.exe", L"C:\\Downloads\\Tool\\Setup.exe"});
    EXPECT_EQ(WindowText(ChildById(main, idEdIdentif)), "Tool");
    EXPECT_TRUE(IsWindowEnabled(ChildById(main, idBtnNext)));
    run.Wizard().btnNextClick();
    run.Wizard().TargetClick(tgOthers, true);
    run.Wizard().btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
    EXPECT_EQ(WindowText(ChildById(main, idEdSetupPath)), "C:\\Downloads\\Tool\\Setup.exe");
    // Browse's file dialog is titled as its purpose.
    {
        std::string title;
        ModalRobot robot("setup dialog", DialogOwnedBy(main), {[&](HWND dialog) {
                             title = WindowText(dialog);
                             PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                         }});
        run.Wizard().btnBrowseClick();
        EXPECT_EQ(title, "Choose the setup program");
    }
    // On the run page even "several applications" takes the dropped program.
    run.Wizard().RunModeClick(TRunMode::rbMulte);
    EXPECT_FALSE(IsWindowEnabled(ChildById(main, idBtnNext)));
    drop({L"C:\\Setups\\install.exe"});
    EXPECT_EQ(WindowText(ChildById(main, idEdSetupPath)), "C:\\Setups\\install.exe");
    EXPECT_EQ(WindowText(ChildById(main, idEdIdentif)), "Tool");
    EXPECT_TRUE(IsWindowEnabled(ChildById(main, idBtnNext)));
    // The rescan takes the marker, the run-at-logon value and the task away.
    run.Wizard().RunModeClick(TRunMode::rbStarted);
    run.Wizard().btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
}

// A monitoring of nothing, to the tree page, from the first page.
void MonitorNothing(MainWindowRun& run, const char* identifier) {
    run.Wizard().edIdentifChange(identifier);
    run.Wizard().btnNextClick();
    run.Wizard().TargetClick(tgOthers, true);
    run.Wizard().btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
    run.Wizard().RunModeClick(TRunMode::rbStarted);
    run.Wizard().btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
    Pump();
}

// Filled, the tree's columns follow its texts until the user sets their
// widths: stored widths, or a divider the user dragged, stay as they are.
TEST(MainWindow, TreeColumnsFollowTheTextsUntilTheUserSetsThem) {
    const int stored = 333;
    for (bool userWidths : {false, true}) {
        SCOPED_TRACE(userWidths ? "widths stored" : "no widths stored");
        MainWindowRun run;
        if (userWidths) {
            HKEY key = nullptr;
            RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
            const DWORD width = stored;
            RegSetValueExA(key, "ChangeColumn", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&width), sizeof(width));
            RegCloseKey(key);
        }
        ASSERT_TRUE(run.Window().Create());
        run.Window().Show(SW_SHOWNORMAL);
        HWND tree = ChildById(run.Window().Handle(), idTvChanges);
        ASSERT_NE(tree, nullptr);
        MonitorNothing(run, "Columns");
        ASSERT_FALSE(testing::Test::HasFatalFailure());
        const int first = ListView_GetColumnWidth(tree, 0);
        if (userWidths) {
            EXPECT_EQ(first, stored);
            continue;
        }
        // The frame's rows and the caption "Detected changes" are short.
        EXPECT_LT(first, MulDiv(257, static_cast<int>(ScreenDpi()), 96));
        // The user drags the first divider: the width stays from then on.
        ListView_SetColumnWidth(tree, 0, first + 40);
        HWND header = ListView_GetHeader(tree);
        NMHEADERA end{};
        end.hdr = {header, static_cast<UINT_PTR>(GetDlgCtrlID(header)), static_cast<UINT>(HDN_ENDTRACKA)};
        end.iItem = 0;
        SendMessageA(tree, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(header)), reinterpret_cast<LPARAM>(&end));
        run.Wizard().btnNextClick();  // start over
        MonitorNothing(run, "Columns again");
        EXPECT_EQ(ListView_GetColumnWidth(tree, 0), first + 40);
    }
}

// A file that a setup made shows its time, then its date in the order of the
// user's short date, as the list's dates read: with "M/d/yyyy", 7 December
// 2026 is 12/07/26.
TEST(MainWindow, TreeFileDatesFollowTheOrderOfTheUsersShortDate) {
    wchar_t picture[80] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80), 0);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, L"M/d/yyyy"));
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    const std::string watched = std::string(temp) + "KelvoraDates" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(watched.c_str(), nullptr);
    const std::string file = watched + "\\dated.txt";
    {
        MainWindowRun run;
        ASSERT_TRUE(run.Window().Create());
        run.Window().Show(SW_SHOWNORMAL);
        run.Wizard().edIdentifChange("Dates");
        run.Wizard().btnNextClick();
        run.Wizard().TargetClick(tgOthers, true);
        run.Wizard().edOthersChange(watched);
        run.Wizard().btnNextClick();
        ASSERT_TRUE(run.WaitForWorker());
        // The setup: a file of 5 bytes written on 7 December 2026 at 23:04, local time.
        HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(out, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(out, "dated", 5, &written, nullptr);
        const SYSTEMTIME local{2026, 12, 1, 7, 23, 4, 0, 0};
        FILETIME localTime{}, utc{};
        SystemTimeToFileTime(&local, &localTime);
        LocalFileTimeToFileTime(&localTime, &utc);
        SetFileTime(out, nullptr, nullptr, &utc);
        CloseHandle(out);
        run.Wizard().RunModeClick(TRunMode::rbStarted);
        run.Wizard().btnNextClick();
        ASSERT_TRUE(run.WaitForWorker());
        HWND tree = ChildById(run.Window().Handle(), idTvChanges);
        ListView_SetItemState(tree, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        Key(tree, VK_MULTIPLY);
        std::string after;
        for (int row = 0; row < ListView_GetItemCount(tree); ++row)
            if (ListViewCell(tree, row, 0) == "dated.txt") after = ListViewCell(tree, row, 2);
        Screenshot(ShotName("tree_file_date").c_str());
        EXPECT_EQ(after, "23:04 12/07/26 5 bytes");
        DeleteFileA((run.Folder() + "\\Dates.qor").c_str());
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(watched.c_str());
}

TEST(DpiLayout, MainWindowFollowsAMoveToAScreenOf144Dpi) {
    ExpectAskedDpi();
    MainWindowRun run;
    ASSERT_TRUE(run.Window().Create());
    run.Window().Show(SW_SHOWNORMAL);
    HWND main = run.Window().Handle();
    // 144 dpi: larger than the screen's, and the window still fits the
    // test's desktop of 1024 x 768.
    const int dpi = 144, from = static_cast<int>(ScreenDpi());
    RECT rc;
    GetWindowRect(main, &rc);
    RECT suggested{rc.left, rc.top, rc.left + MulDiv(rc.right - rc.left, dpi, from),
                   rc.top + MulDiv(rc.bottom - rc.top, dpi, from)};
    SendMessageA(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    GetWindowRect(main, &rc);
    EXPECT_TRUE(EqualRect(&rc, &suggested));
    const int font = MulDiv(8, dpi, 72);
    EXPECT_EQ(LayoutProblems(ChildById(main, idPnlFirst), font), Problems{});
    EXPECT_EQ(LayoutProblems(main, font), Problems{});
    run.Wizard().edIdentifChange("Moved");
    run.Wizard().btnNextClick();
    Pump();
    EXPECT_EQ(LayoutProblems(ChildById(main, idPnlTargets), font), Problems{});
}

}  // namespace
}  // namespace kelvora::ui
