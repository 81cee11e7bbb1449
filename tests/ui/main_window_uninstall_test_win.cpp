// The main window's uninstall path in this process, on the real registry and
// file system: a file that is no archive and a damaged archive in the list,
// a new monitoring under an existing identifier declined, then the load of a
// good one with a change the ignore lists hide, a branch unchecked, the
// questions answered, the log page read, and what the system holds
// afterwards.
#include <gtest/gtest.h>

#include <richedit.h>

#include <string>

#include "changes/chg_archive.h"
#include "export/export_format.h"
#include "platform/win32/win32_platform_win.h"
#include "support/gui_win.h"
#include "support/layout_check_win.h"
#include "support/main_window_run_win.h"
#include "support/modal_robot_win.h"
#include "translation/messages.h"
#include "ui/main_captions.h"
#include "uninstall/shared_files.h"

#include <fstream>
#include <iterator>
#include <set>

namespace kelvora::ui {
namespace {

using namespace test;

const std::string kSharedKey = std::string(kSharedDllsKey);

void SetNumber(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    RegSetKeyValueA(root, key.c_str(), name.c_str(), REG_DWORD, &value, sizeof(value));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The node below parent (and its descendants) called name.
NodeId FindNode(const ChangesTree::Access& tree, NodeId parent, std::string_view name) {
    for (NodeId child : tree.Children(parent)) {
        if (tree.Data(child).Name == name) return child;
        if (NodeId found = FindNode(tree, child, name); found != kNoNode) return found;
    }
    return kNoNode;
}

// Selects the list row of identifier, as a click does.
void SelectRow(HWND main, const std::string& identifier) {
    HWND list = ChildById(main, idLvQorFiles);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        if (ListViewCell(list, row) == identifier) {
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
    Pump();
}

// Clicks the button of id on a modal window.
ModalRobot::Step Press(int id) {
    return [id](HWND window) { SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); };
}

// Answers the message box that shows with Enter and hands back its text.
ModalRobot::Step ReadAndClose(std::string& shown) {
    return [&shown](HWND box) {
        shown = StaticText(box);
        PressKey(box, VK_RETURN);
    };
}

TEST(MainWindowUninstall, DamagedArchiveThenAWholeUninstallWithItsLog) {
    MainWindowRun run;
    // Beside the program's folder: its own folder is never in a tree.
    const std::string app = run.Folder() + "App\\";
    CreateDirectoryA(app.c_str(), nullptr);
    for (const char* name : {"a.txt", "b.txt", "shared.dll"}) {
        HANDLE file = CreateFileA((app + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    SetNumber(HKEY_LOCAL_MACHINE, kSharedKey, app + "shared.dll", 1);
    SetNumber(HKEY_CURRENT_USER, kSettingsKey, "LogLevel", 7);
    SetNumber(HKEY_CURRENT_USER, kSettingsKey, "UseRecycled", 0);
    {
        platform::win32::Win32Platform win32;
        TChgArchive archive(win32.platform.files, win32.platform.clock, run.Folder() + "\\Demo");
        archive.CreateNew();
        for (const char* name : {"a.txt", "b.txt", "ignored.txt"}) {
            archive.WriteInt(ckFileCreated);
            archive.WriteStr(app + name);
            archive.WriteStr("0 bytes");
        }
        archive.WriteInt(ckFileDeleted);  // its contents are not recorded
        archive.WriteStr(app + "gone.txt");
        archive.WriteStr("12:00 01/02/26 10");
        archive.WriteInt(ckSharedCounterIncremented);
        archive.WriteInt(static_cast<std::int32_t>(platform::kLocalMachine));
        archive.WriteStr(kSharedKey);
        archive.WriteStr(app + "shared.dll");
        archive.WriteInt(4);  // REG_DWORD, raised by 1
        archive.WriteInt(1);
        archive.Save();
    }
    HANDLE junk = CreateFileA((run.Folder() + "\\Junk.qor").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(junk, "not an archive", 14, &written, nullptr);
    CloseHandle(junk);
    // A whole archive cut short inside its last record.
    CopyFileA((run.Folder() + "\\Demo.qor").c_str(), (run.Folder() + "\\Cut.qor").c_str(), FALSE);
    HANDLE cut = CreateFileA((run.Folder() + "\\Cut.qor").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(cut, -3, nullptr, FILE_END);
    SetEndOfFile(cut);
    CloseHandle(cut);

    ASSERT_TRUE(run.Window().Create());
    run.Window().Show(SW_SHOWNORMAL);
    HWND main = run.Window().Handle();
    TWizard& wizard = run.Wizard();
    run.Context().Settings.IgnoredFiles.Add(app + "ignored.txt");

    // A new monitoring under Demo would replace its archive: No keeps it.
    {
        std::string shown;
        wizard.edIdentifChange("Demo");
        ModalRobot robot("replace question", WindowOfClass("TMessageForm"),
                         {[&](HWND box) {
                              shown = StaticText(box);
                              SendMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
                          }});
        wizard.btnNextClick();
        EXPECT_EQ(shown, "An archive of 'Demo' exists. Replace it when the new monitoring is saved?");
    }
    EXPECT_FALSE(IsWindowVisible(ChildById(main, idHKCU)));
    EXPECT_EQ(WindowText(main), "Kelvora");

    wizard.rbUninstallClick();
    HWND list = ChildById(main, idLvQorFiles);
    ASSERT_EQ(ListView_GetItemCount(list), 3);

    // No archive, and a damaged one: told alike; rows and files stay.
    for (const char* identifier : {"Junk", "Cut"}) {
        SCOPED_TRACE(identifier);
        SelectRow(main, identifier);
        std::string shown;
        {
            ModalRobot robot("error box", WindowOfClass("TMessageForm"), {ReadAndClose(shown)});
            wizard.btnNextClick();
            ASSERT_TRUE(run.WaitForWorker());
        }
        EXPECT_EQ(shown, TranslateString(RS_INV_FILE_FORMAT));
        EXPECT_EQ(ListView_GetItemCount(list), 3);
        EXPECT_TRUE(IsWindowVisible(list));
        EXPECT_EQ(WindowText(main), "Kelvora");
    }
    EXPECT_TRUE(Exists(run.Folder() + "\\Junk.qor"));

    // The good one: loaded without the change the ignore lists hold, then
    // again with it; b.txt unchecked.
    SelectRow(main, "Demo");
    wizard.btnNextClick();
    ASSERT_TRUE(run.WaitForWorker());
    EXPECT_EQ(WindowText(main), "Kelvora [Demo] - uninstalling");
    EXPECT_TRUE(IsWindowVisible(ChildById(main, idTvChanges)));
    EXPECT_TRUE(IsWindowEnabled(ChildById(main, idBtnPrint)));
    const std::string status = WindowText(ChildById(main, idLblStatus));
    EXPECT_TRUE(status.ends_with(". 1 change hidden by the ignore lists. Changes that cannot be undone (contents not "
                                 "recorded): 1\n" + TranslateString(RS_NEXT_UNINSTALL)))
        << status;
    HWND showIgnored = ChildById(main, idCbShowIgnored);
    ASSERT_TRUE(IsWindowVisible(showIgnored));
    Screenshot(ShotName("uninstall_tree").c_str());
    // Nothing cut at this size: the counts wrap above the instruction, and
    // the box that shows ignored changes keeps its whole caption.
    const int font = MulDiv(8, static_cast<int>(ScreenDpi()), 72);  // Tahoma 8 points
    EXPECT_EQ(LayoutProblems(main, font), Problems{});
    EXPECT_EQ(LayoutProblems(GetParent(showIgnored), font), Problems{});
    SendMessageA(showIgnored, BM_CLICK, 0, 0);
    ASSERT_TRUE(run.WaitForWorker());
    EXPECT_EQ(SendMessageA(showIgnored, BM_GETCHECK, 0, 0), BST_CHECKED);
    {
        auto tree = run.Window().Changes().Lock();
        const NodeId ignored = FindNode(tree, tree.Root(), "ignored.txt");
        ASSERT_NE(ignored, kNoNode);
        EXPECT_EQ(tree.CheckState(ignored), TCheckState::Unchecked);
    }
    {
        auto tree = run.Window().Changes().Lock();
        const NodeId b = FindNode(tree, tree.Root(), "b.txt");
        ASSERT_NE(b, kNoNode);
        tree.SetBranchChecked(b, false);
    }

    // Export offers the text, HTML and JSON formats and the undo package by
    // the dialog's filters; the package holds the checked changes only.
    auto exportAs = [&](int filter, const std::string& name) {
        ModalRobot robot("export dialog", DialogOwnedBy(main),
                         {[&](HWND dialog) {
                              HWND types = GetDlgItem(dialog, 0x470);  // cmb1: the file types
                              EXPECT_EQ(SendMessageA(types, CB_GETCOUNT, 0, 0), kExportFilterCount);
                              // As a choice in the list ends: the selection, then
                              // the notifications (Wine's dialog acts on the second).
                              SendMessageA(types, CB_SETCURSEL, filter - 1, 0);
                              for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
                                  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x470, code),
                                               reinterpret_cast<LPARAM>(types));
                              }
                          },
                          [&](HWND dialog) {
                              SetDlgItemTextA(dialog, 0x47C, name.c_str());  // cmb13: the file name
                              Screenshot(ShotName(("export_dialog_" + std::to_string(filter)).c_str()).c_str());
                          },
                          [&](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }});
        SendMessageA(ChildById(main, idBtnExport), BM_CLICK, 0, 0);
    };
    auto text = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    exportAs(2, run.Folder() + "\\report");
    EXPECT_EQ(text(run.Folder() + "\\report.html").substr(0, 15), "<!DOCTYPE html>");
    exportAs(3, run.Folder() + "\\report");
    EXPECT_EQ(text(run.Folder() + "\\report.json").substr(0, 27), "{\"format\":\"kelvora-changes\"");
    exportAs(4, run.Folder() + "\\report");
    const std::string script = text(run.Folder() + "\\Demo-undo.cmd");
    EXPECT_NE(script.find("set \"P=" + app + "a.txt\""), std::string::npos) << script;
    EXPECT_EQ(script.find("b.txt"), std::string::npos);
    EXPECT_EQ(text(run.Folder() + "\\Demo-undo.reg").substr(0, 2), "\xFF\xFE");

    // Yes to the uninstall; No to removing the unused shared file.
    {
        ModalRobot robot("confirmation", WindowOfClass("TMessageForm"), {Press(IDYES)});
        wizard.btnNextClick();
    }
    HWND log = ChildById(main, idReLog);
    EXPECT_TRUE(IsWindowVisible(log));
    {
        std::string file, folder;
        ModalRobot robot("shared-file question", WindowOfClass("TdlgRemoveShared"),
                         {[&](HWND dialog) {
                              file = WindowText(GetDlgItem(dialog, 100));
                              folder = WindowText(GetDlgItem(dialog, 101));
                              Screenshot(ShotName("uninstall_question").c_str());
                          },
                          Press(kAnswerNo)});
        ASSERT_TRUE(run.WaitForWorker());
        EXPECT_EQ(file, "shared.dll");
        EXPECT_EQ(folder, app);
    }
    Screenshot(ShotName("uninstall_log").c_str());

    EXPECT_FALSE(Exists(app + "a.txt"));
    EXPECT_TRUE(Exists(app + "b.txt"));
    EXPECT_TRUE(Exists(app + "shared.dll"));
    EXPECT_NE(RegGetValueA(HKEY_LOCAL_MACHINE, kSharedKey.c_str(), (app + "shared.dll").c_str(), RRF_RT_ANY, nullptr,
                           nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(WindowText(ChildById(main, idLblStatus)), TranslateString(RS_UNINST_COMPLETE));
    EXPECT_TRUE(IsWindowEnabled(log));
    // One line per action and the summary, the first in green.
    const std::string lines = WindowText(log);
    EXPECT_NE(lines.find(TranslateString(RS_DEL_FILE) + app + "a.txt"), std::string::npos) << lines;
    EXPECT_NE(lines.find("NOT RESTORED (contents not recorded): " + app + "gone.txt"), std::string::npos) << lines;
    EXPECT_NE(lines.find("Uninstall complete without errors, 1 warning"), std::string::npos) << lines;
    CHARRANGE first{0, 1};
    SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&first));
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    SendMessageA(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.crTextColor, RGB(0, 128, 0));
    EXPECT_TRUE(Exists(run.Folder() + "\\Log.txt"));

    for (const char* name : {"b.txt", "shared.dll"}) DeleteFileA((app + name).c_str());
    RemoveDirectoryA(app.c_str());
    for (const char* name : {"\\Demo.qor", "\\Junk.qor", "\\Cut.qor", "\\Log.txt", "\\report.html",
                             "\\report.json", "\\Demo-undo.cmd", "\\Demo-undo.reg"}) {
        DeleteFileA((run.Folder() + name).c_str());
    }
}

// Every help context of the main window's controls is on one of its windows.
TEST(MainWindowUninstall, EveryControlHasItsHelpContext) {
    MainWindowRun run;
    ASSERT_TRUE(run.Window().Create());
    std::set<std::uint32_t> found;
    EnumChildWindows(run.Window().Handle(), [](HWND child, LPARAM set) -> BOOL {
        reinterpret_cast<std::set<std::uint32_t>*>(set)->insert(GetWindowContextHelpId(child));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    for (const FormRow& c : MainCaptions()) EXPECT_TRUE(c.Help == 0 || found.contains(c.Help)) << c.Name;
    EXPECT_EQ(ResolveHelpContext(GetWindow(ChildById(run.Window().Handle(), idTvChanges), GW_CHILD)),
              RowOf(MainCaptions(), idTvChanges)->Help);
}

}  // namespace
}  // namespace kelvora::ui
