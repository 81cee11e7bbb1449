// The dialogs and the changes tree laid out at the screen's dots per inch:
// every text fits its control, controls stay inside the window and apart,
// and the fonts are the system's at that dpi. The DpiLayout tests run at the
// prefix's dpi (96); HighDpi runs them, and the main window in every shipped
// language, again in a process started at 120.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/changes_tree_control.h"
#include "support/gui_win.h"
#include "support/layout_check_win.h"
#include "support/modal_robot_win.h"
#include "ui/input_text_dlg.h"
#include "ui/message_dlg.h"

namespace kelvora::ui {
namespace {

using namespace test;

// Shows a modal dialog while a robot reads its layout, takes a screenshot
// and closes it; answers the problems found.
Problems CheckModal(const char* cls, const char* shot, const std::function<void()>& show) {
    Problems problems;
    test::ModalRobot robot(cls, test::WindowOfClass(cls), {[&](HWND dialog) {
                               problems = LayoutProblems(dialog);
                               test::Screenshot(ShotName(shot).c_str());
                               PostMessageA(dialog, WM_CLOSE, 0, 0);
                           }});
    show();
    return problems;
}

TEST(DpiLayout, MessageBoxesFitTheirTextsAndButtons) {
    ExpectAskedDpi();
    std::string long_text;
    for (int i = 0; i < 40; ++i) long_text += "The uninstall log has been saved. ";
    EXPECT_EQ(CheckModal("TMessageForm", "message_box",
                         [] {
                             ShowMessageDlg("Save the changes before closing ?", TMsgDlgType::mtConfirmation,
                                            {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel});
                         }),
              Problems{});
    EXPECT_EQ(CheckModal("TMessageForm", "message_box_long",
                         [&] { ShowMessageDlg(long_text, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbOK}); }),
              Problems{});
}

TEST(DpiLayout, InputDialogFitsWithAndWithoutOwner) {
    ExpectAskedDpi();
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    for (HWND owner : {host.Handle(), static_cast<HWND>(nullptr)}) {
        TdlgInputText dialog;
        dialog.Caption = "Rename";
        dialog.LabelText = "New name of the installation:";
        dialog.Text = "Vendor Application 2.1";
        EXPECT_EQ(CheckModal("TdlgInputText", owner != nullptr ? "input_dialog" : "input_dialog_unowned",
                             [&] { dialog.Execute(owner); }),
                  Problems{})
            << (owner != nullptr ? "owned" : "without owner");
    }
}

TEST(DpiLayout, ChangesTreeRowsFitTheirFontAndIcons) {
    ExpectAskedDpi();
    test::HostWindow host;
    ASSERT_TRUE(host.Create(760, 420));
    TSettings settings;
    ChangesTree model{settings};
    model.StartFill(true);
    TNodeData file;
    file.Kind = ckFileCreated;
    file.Path = "C:\\Program Files\\Vendor";
    file.SetNewText("10:00 01/02/26 20480");
    model.AddToTree("C:\\Program Files\\Vendor", "Application with a long name.exe", std::move(file));
    model.FinishFill();
    ChangesTreeControl control{model};
    RECT rc;
    GetClientRect(host.Handle(), &rc);
    ASSERT_TRUE(control.Create(host.Handle(), 100, {0, 0, rc.right, rc.bottom}));
    control.Tree().ExpandAll();
    test::Pump();
    HWND tree = control.Tree().Handle();
    ASSERT_GT(control.Tree().RowCount(), 3);

    const int dpi = static_cast<int>(ScreenDpi());
    const int icon = MulDiv(16, dpi, 96);  // the icons grow with the dpi
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(tree, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, icon);
    EXPECT_EQ(cy, icon);
    ControlDc dc(tree);
    EXPECT_GE(dc.TextHeight(), MulDiv(11, dpi, 96));  // the tree's font grows too
    for (int row = 0; row < control.Tree().RowCount(); ++row) {
        RECT item{LVIR_BOUNDS};
        SendMessageA(tree, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        int height = item.bottom - item.top;
        EXPECT_GE(height, icon) << row;
        EXPECT_GE(height, dc.TextHeight()) << row;
        // Check box, icon and text follow each other without overlapping.
        VirtualTree::CellParts parts = control.Tree().PartsOf(row);
        if (parts.check >= 0) {
            EXPECT_GE(parts.image, parts.check + icon) << row;
        }
        if (parts.image >= 0) {
            EXPECT_GE(parts.text, parts.image + icon) << row;
        }
    }
    // Each column's caption fits its column in the header's own font.
    HWND header = ListView_GetHeader(tree);
    ControlDc header_dc(header);
    RECT header_rc;
    GetClientRect(header, &header_rc);
    EXPECT_GE(header_rc.bottom, header_dc.TextHeight() + 2);
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        char caption[128] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof(caption);
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        EXPECT_LT(header_dc.Extent(caption).cx, control.Tree().ColumnWidth(column)) << caption;
    }
    test::Screenshot(ShotName("changes_tree").c_str());
}

// Wine reads the dpi from HKCU\Control Panel\Desktop\LogPixels when a
// process starts: set it, start this program again on the DpiLayout tests,
// and put the value back as soon as the new process is running.
class LogPixelsOverride {
public:
    explicit LogPixelsOverride(DWORD dpi) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &key_, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof(old_), type = 0;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&old_), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
        set_ = RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
               ERROR_SUCCESS;
    }
    ~LogPixelsOverride() {
        Restore();
        if (key_ != nullptr) RegCloseKey(key_);
    }
    LogPixelsOverride(const LogPixelsOverride&) = delete;
    LogPixelsOverride& operator=(const LogPixelsOverride&) = delete;
    bool Set() const { return set_; }
    void Restore() {
        if (!set_) return;
        if (had_) RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof(old_));
        else RegDeleteValueA(key_, "LogPixels");
        set_ = false;
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};

TEST(HighDpi, LayoutHoldsAt120Dpi) {
    if (GetEnvironmentVariableA(kExpectDpiVariable, nullptr, 0) != 0) GTEST_SKIP() << "already the child";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string command = "\"" + std::string(self) + "\" --gtest_filter=DpiLayout.*:MainWindowLanguages.Each*";
    std::string event_name = "Kelvora.DpiChildStarted." + std::to_string(GetCurrentProcessId());
    HANDLE started_event = CreateEventA(nullptr, TRUE, FALSE, event_name.c_str());
    ASSERT_NE(started_event, nullptr);
    LogPixelsOverride dpi(120);
    ASSERT_TRUE(dpi.Set());
    SetEnvironmentVariableA(kExpectDpiVariable, "120");
    SetEnvironmentVariableA(kStartedEventVariable, event_name.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                  &process);
    SetEnvironmentVariableA(kExpectDpiVariable, nullptr);
    SetEnvironmentVariableA(kStartedEventVariable, nullptr);
    ASSERT_TRUE(started);
    // The child has read the dpi once its first test runs: programs started
    // from then on get the usual one.
    HANDLE either[] = {started_event, process.hProcess};
    WaitForMultipleObjects(2, either, FALSE, 60000);
    dpi.Restore();
    CloseHandle(started_event);
    DWORD waited = WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u) << "the DpiLayout tests failed at 120 dpi (their output is above)";
}

}  // namespace
}  // namespace kelvora::ui
