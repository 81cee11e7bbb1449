// The changes tree on screen over the real model: every kind of change with
// its icon, sibling order, check boxes spreading by the model's rules, and
// binary cells in text and hexadecimal.
#include "ui/changes_tree_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

// <windows.h> came in with the control's header (see platform.h).
#undef DeleteFile
#include "platform/win32/win32_platform_win.h"
#include "support/change_records.h"
#include "support/gui_win.h"
#include "uninstall/tree_order_everywhere.h"

namespace kelvora::ui {
namespace {

using test::Bytes;
using test::kHklm;
using test::Rec;

// Places one change of every kind (so every icon shows).
void FillEveryKind(ChangesTree& model) {
    const std::string key = "Software\\Vendor";
    const std::string reg = "HKEY_LOCAL_MACHINE\\" + key;
    auto value = [&](TChangeKind kind, const char* name, std::int32_t type, const std::string& before,
                     const std::string& after, const std::string& at) {
        std::string key_path = at.substr(std::strlen("HKEY_LOCAL_MACHINE\\"));
        model.AddToTree(at, name, Rec(kind, key_path, kHklm, type, before, after));
    };
    // Values first in the order they are found, keys after: the tree sorts.
    model.AddToTree(reg, "NewKey", Rec(ckRegKeyCreated, key, kHklm));
    value(ckRegValueCreated, "Str", 1, {}, Bytes({'h', 'i', '\'', 0}), reg + "\\NewKey");
    value(ckRegValueCreated, "Bin", 3, {}, Bytes({0x48, 0x69, 0x00, 0xFF}), reg + "\\NewKey");
    value(ckRegValueDeleted, "", 1, Bytes({'o', 'l', 'd', 0}), {}, reg);
    value(ckRegValueDeleted, "Blob", 3, Bytes({1, 0xAB}), {}, reg);
    value(ckRegValueChanged, "Count", 4, Bytes({1, 0, 0, 0}), Bytes({0xFF, 0xFF, 0xFF, 0xFF}), reg);
    value(ckRegValueChanged, "Path", 1, Bytes({'a', 0}), Bytes({'b', 0}), reg);
    model.AddToTree(reg, "OldKey", Rec(ckRegKeyDeleted, key, kHklm));
    const std::string shared = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    value(ckSharedCounterIncremented, "C:\\Windows\\a.dll", 4, {}, Bytes({1, 0, 0, 0}), shared);
    value(ckSharedCounterIncremented, "C:\\Windows\\b.dll", 1, {}, Bytes({'1', 0}), shared);

    auto file = [&](TChangeKind kind, const char* path, const char* name, const char* before, const char* after) {
        TNodeData d = Rec(kind, path);
        if (before != nullptr) d.SetOldText(before);
        if (after != nullptr) d.SetNewText(after);
        model.AddToTree(path, name, std::move(d));
    };
    file(ckFolderCreated, "C:\\Program Files", "App", nullptr, nullptr);
    file(ckFileCreated, "C:\\Program Files\\App", "app.exe", nullptr, "10:00 01/02/26 20480");
    file(ckFileCreated, "C:\\Program Files\\App", "readme.txt", nullptr, "10:00 01/02/26 120");
    file(ckFileMovedTo, "C:\\Program Files\\App", "moved.dll", nullptr, "09:00 01/01/26 4096");
    file(ckFolderDeleted, "C:\\Windows", "Temp1", nullptr, nullptr);
    file(ckFileChanged, "C:\\Windows", "win.ini", "08:00 01/01/26 100", "10:01 01/02/26 140");
    file(ckFileDeleted, "C:\\Windows", "old.log", "08:00 01/01/26 10", nullptr);
    file(ckFileMovedFrom, "C:\\Windows", "moved.dll", "09:00 01/01/26 4096", nullptr);
}

class ChangesTreeControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create(760, 560));
        model.StartFill(true);
        FillEveryKind(model);
        model.FinishFill();
        RECT rc;
        GetClientRect(host.Handle(), &rc);
        ASSERT_TRUE(control.Create(host.Handle(), 100, {0, 0, rc.right, rc.bottom}));
        control.Tree().ExpandAll();
        test::Pump();
    }

    std::string Cell(int row, int column) { return test::ListViewCell(control.Tree().Handle(), row, column); }
    int Row(const std::string& name, int from = 0) {
        for (int r = from; r < control.Tree().RowCount(); ++r)
            if (Cell(r, 0) == name) return r;
        return -1;
    }
    std::vector<std::string> ChildNames(int row) {
        std::vector<std::string> names;
        int level = control.Tree().RowLevel(row);
        for (int r = row + 1; r < control.Tree().RowCount() && control.Tree().RowLevel(r) > level; ++r)
            if (control.Tree().RowLevel(r) == level + 1) names.push_back(Cell(r, 0));
        return names;
    }
    void ClickCheck(int row) {
        RECT rc{LVIR_BOUNDS};
        SendMessageA(control.Tree().Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&rc));
        test::Click(control.Tree().Handle(), rc.left + control.Tree().PartsOf(row).check + 4,
                    (rc.top + rc.bottom) / 2);
    }
    CheckMark Mark(int row) {
        auto access = model.Lock();
        switch (access.CheckState(control.Tree().RowNode(row))) {
        case TCheckState::Checked: return CheckMark::Checked;
        case TCheckState::Unchecked: return CheckMark::Unchecked;
        default: return CheckMark::None;
        }
    }

    test::HostWindow host;
    TSettings settings;
    ChangesTree model{settings};
    ChangesTreeControl control{model};
};

using Names = std::vector<std::string>;

TEST_F(ChangesTreeControlTest, SiblingsShowInKindThenNameOrder) {
    EXPECT_EQ(ChildNames(0), (Names{"File System", "Registry"}));
    EXPECT_EQ(ChildNames(Row("Vendor")),
              (Names{"NewKey", "OldKey", "Count", "Path", "(Default)", "Blob"}));
    EXPECT_EQ(ChildNames(Row("NewKey")), (Names{"Bin", "Str"}));
    EXPECT_EQ(ChildNames(Row("App")), (Names{"app.exe", "readme.txt", "moved.dll"}));
    EXPECT_EQ(ChildNames(Row("Windows")), (Names{"Temp1", "win.ini", "old.log", "moved.dll"}));
    EXPECT_EQ(ChildNames(Row("Program Files")), (Names{"App"}));
}

TEST_F(ChangesTreeControlTest, TheScreenTheExportAndTheUninstallerShareTheLocalesOrder) {
    const std::string key = "Software\\KelvoraOrderTest\\Odd";  // never created: nothing is deleted
    kelvora::testing::PlaceOddNames(model, key);
    model.FinishFill();
    control.ModelReset();
    control.Tree().ExpandAll();
    test::Pump();
    const Names shown = ChildNames(Row("Odd"));
    EXPECT_EQ(shown.size(), kelvora::testing::kOddNames.size());
    EXPECT_NE(shown, kelvora::testing::ByteOrder());
    platform::win32::Win32Platform os;
    EXPECT_EQ(kelvora::testing::ExportOrder(model, os.collation), shown);
    EXPECT_EQ(kelvora::testing::UninstallOrder(os.platform, model, key), shown);
}

TEST_F(ChangesTreeControlTest, CellsFollowTheValueAndFileRules) {
    int count = Row("Count");
    EXPECT_EQ(Cell(count, 1), "1");
    EXPECT_EQ(Cell(count, 2), "-1");
    int deflt = Row("(Default)");
    EXPECT_EQ(Cell(deflt, 1), "'old'");
    EXPECT_EQ(Cell(deflt, 2), "");
    EXPECT_EQ(Cell(Row("Str"), 2), "'hi'''");
    EXPECT_EQ(Cell(Row("C:\\Windows\\a.dll"), 2), "1 (incremented)");
    EXPECT_EQ(Cell(Row("C:\\Windows\\b.dll"), 2), "'1' (incremented)");
    int ini = Row("win.ini");
    EXPECT_EQ(Cell(ini, 1), "08:00 01/01/26 100 bytes");
    EXPECT_EQ(Cell(ini, 2), "10:01 01/02/26 140 bytes");
    EXPECT_EQ(Cell(Row("NewKey"), 1), "");
}

// Fitted to what they show, at 96 and at 144 dpi, the columns show every
// name (that half the width can hold) and every file's time whole.
TEST_F(ChangesTreeControlTest, ColumnsFitTheTextsTheyShow) {
    VirtualTree& tree = control.Tree();
    HWND list = tree.Handle();
    for (UINT dpi : {96u, 144u}) {
        SCOPED_TRACE(dpi);
        // The window grows with the dpi, as the main window does.
        SetWindowPos(host.Handle(), nullptr, 0, 0, MulDiv(760, static_cast<int>(dpi), 96),
                     MulDiv(560, static_cast<int>(dpi), 96), SWP_NOMOVE | SWP_NOZORDER);
        RECT area;
        GetClientRect(host.Handle(), &area);
        // Fitted small, then grown: the resize shares the new width by need.
        SetWindowPos(list, nullptr, 0, 0, area.right / 3, area.bottom, SWP_NOMOVE | SWP_NOZORDER);
        control.SetDpi(dpi, settings.ChangesTreeFont, settings.ChangesTreeFontSize, DEFAULT_CHARSET);
        tree.CollapseAll();
        tree.FitColumnsToContent(1000);
        SetWindowPos(list, nullptr, 0, 0, area.right, area.bottom, SWP_NOMOVE | SWP_NOZORDER);
        tree.ExpandAll();
        test::Pump();
        test::Screenshot(dpi == 96 ? "tree_columns_fitted" : "tree_columns_fitted_144dpi");
        RECT client;
        GetClientRect(list, &client);
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
        auto width = [&](const std::string& text) {
            SIZE size{};
            const std::wstring wide(text.begin(), text.end());  // the texts here are ASCII
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
            return static_cast<int>(size.cx) + 12;
        };
        const int half = (client.right - 50 * static_cast<int>(dpi) / 96) / 2;
        for (int r = 0; r < tree.RowCount(); ++r) {
            const int name = tree.PartsOf(r).text + width(Cell(r, 0));
            if (name <= half) EXPECT_LE(name, tree.ColumnWidth(0)) << Cell(r, 0);
            EXPECT_LE(width(Cell(r, 1)), tree.ColumnWidth(1)) << Cell(r, 1);
        }
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        int sum = 0;
        for (int c = 0; c < Header_GetItemCount(ListView_GetHeader(list)); ++c) sum += tree.ColumnWidth(c);
        EXPECT_EQ(sum, client.right);
    }
    // A width the user set stays through a resize.
    tree.SetColumnWidth(0, 222);
    SetWindowPos(list, nullptr, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tree.ColumnWidth(0), 222);
}

TEST_F(ChangesTreeControlTest, BinaryCellsSwitchBetweenTextAndHexAtOnce) {
    int bin = Row("Bin"), blob = Row("Blob");
    control.SetBinaryHexa(false);
    EXPECT_EQ(Cell(bin, 2), "Hi..");
    EXPECT_EQ(Cell(blob, 1), "..");
    control.SetBinaryHexa(true);
    EXPECT_EQ(Cell(bin, 2), "48 69 00 FF ");
    EXPECT_EQ(Cell(blob, 1), "01 AB ");
    EXPECT_EQ(Cell(Row("Count"), 2), "-1");  // numbers do not change
    EXPECT_EQ(Cell(Row("Str"), 2), "'hi'''");
}

TEST_F(ChangesTreeControlTest, CheckClicksSpreadByTheModelRules) {
    int app = Row("App"), exe = Row("app.exe"), moved = Row("moved.dll", app);
    EXPECT_EQ(Mark(app), CheckMark::Checked);
    EXPECT_EQ(Mark(exe), CheckMark::Checked);
    EXPECT_EQ(Mark(moved), CheckMark::None);  // moved files have no check box
    EXPECT_EQ(Mark(Row("Program Files")), CheckMark::None);
    // Unchecking a created file inside a created folder unchecks the folder.
    ClickCheck(exe);
    EXPECT_EQ(Mark(exe), CheckMark::Unchecked);
    EXPECT_EQ(Mark(app), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("readme.txt")), CheckMark::Checked);
    // Checking the folder checks its children again.
    ClickCheck(app);
    EXPECT_EQ(Mark(app), CheckMark::Checked);
    EXPECT_EQ(Mark(exe), CheckMark::Checked);
    // Unchecking the created folder by its box keeps everything in it.
    ClickCheck(app);
    EXPECT_EQ(Mark(app), CheckMark::Unchecked);
    EXPECT_EQ(Mark(exe), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("readme.txt")), CheckMark::Unchecked);
    // Space on the focused row acts as a click: a created key keeps its values.
    control.Tree().SetFocusedRow(Row("NewKey"));
    test::Key(control.Tree().Handle(), VK_SPACE);
    EXPECT_EQ(Mark(Row("NewKey")), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("Str")), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("Bin")), CheckMark::Unchecked);
    test::Key(control.Tree().Handle(), VK_SPACE);
    EXPECT_EQ(Mark(Row("Str")), CheckMark::Checked);
    control.Tree().SetFocusedRow(Row("Str"));
    test::Key(control.Tree().Handle(), VK_SPACE);
    EXPECT_EQ(Mark(Row("Str")), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("NewKey")), CheckMark::Unchecked);
    EXPECT_EQ(Mark(Row("Bin")), CheckMark::Checked);
    test::Screenshot("changes_tree");
}

TEST_F(ChangesTreeControlTest, EveryIconHasAKindThatShowsIt) {
    std::vector<bool> seen(kChangeImageCount, false);
    auto access = model.Lock();
    for (int r = 0; r < control.Tree().RowCount(); ++r) {
        const TNodeData& d = access.Data(control.Tree().RowNode(r));
        int image = ImageIndexOf(d.Kind, d.ValueType);
        ASSERT_GE(image, 0);
        seen[static_cast<std::size_t>(image)] = true;
    }
    for (int i = 0; i < kChangeImageCount; ++i) EXPECT_TRUE(seen[static_cast<std::size_t>(i)]) << i;
}

TEST_F(ChangesTreeControlTest, RowsFollowAWorkerFillingTheModel) {
    model.StartFill(false);
    control.ModelReset();
    EXPECT_EQ(control.Tree().RowCount(), 1);
    control.Tree().SetExpanded(0, true);  // My Computer
    control.Tree().SetExpanded(1, true);  // File System
    std::thread worker([&] {
        for (int i = 0; i < 500; ++i) {
            std::string name = std::to_string(i);
            name += ".txt";
            model.AddToTree("C:\\Data", name, Rec(ckFileCreated, "C:\\Data"));
        }
    });
    worker.join();
    // The model told the control from the worker; the rows follow on the
    // window thread.
    ASSERT_TRUE(test::PumpUntil([&] { return control.Tree().RowCount() == 4; }));
    EXPECT_EQ(Cell(1, 0), "File System");
    EXPECT_EQ(Cell(2, 0), "C:");
}

}  // namespace
}  // namespace kelvora::ui
