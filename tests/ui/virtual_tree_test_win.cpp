// The virtual tree control driven by window messages: rows, expansion by
// mouse and keys, check boxes, column widths, context menu, and rows that
// follow a source changing under it.
#include "ui/framework/virtual_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/gui_win.h"

namespace kelvora::ui {
namespace {

using test::Click;
using test::DoubleClick;
using test::Key;
using test::Pump;

// A tree held in plain vectors; a check click flips the node and every
// descendant that has a check box.
class FakeSource : public VirtualTreeSource {
public:
    struct Item {
        Node parent;
        std::vector<Node> children;
        std::string texts[3];
        CheckMark check = CheckMark::None;
    };
    std::vector<Item> items;
    std::vector<Node> top;

    Node Add(Node parent, std::string name, CheckMark check = CheckMark::None, std::string before = {},
             std::string after = {}) {
        Node id = static_cast<Node>(items.size());
        items.push_back({parent, {}, {std::move(name), std::move(before), std::move(after)}, check});
        (parent == kNone ? top : items[parent].children).push_back(id);
        return id;
    }

    std::size_t NodeCapacity() override { return items.size(); }
    void Children(Node parent, std::vector<Node>& out) override {
        const auto& list = parent == kNone ? top : items[parent].children;
        out.insert(out.end(), list.begin(), list.end());
    }
    bool HasChildren(Node node) override { return !items[node].children.empty(); }
    std::string Text(Node node, int column) override { return items[node].texts[column]; }
    int Image(Node) override { return -1; }
    CheckMark Check(Node node) override { return items[node].check; }
    void ToggleCheck(Node node) override {
        CheckMark to = items[node].check == CheckMark::Checked ? CheckMark::Unchecked : CheckMark::Checked;
        std::vector<Node> stack{node};
        while (!stack.empty()) {
            Node n = stack.back();
            stack.pop_back();
            if (items[n].check != CheckMark::None) items[n].check = to;
            stack.insert(stack.end(), items[n].children.begin(), items[n].children.end());
        }
    }
};

class VirtualTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        RECT rc;
        GetClientRect(host.Handle(), &rc);
        ASSERT_TRUE(tree.Create(host.Handle(), 100, {0, 0, rc.right, rc.bottom}));
        tree.AddColumn("Detected changes", 257, 100);
        tree.AddColumn("Before", 152, 50);
        tree.AddColumn("After", 120, 50);
        root = src.Add(VirtualTreeSource::kNone, "My Computer");
        fs = src.Add(root, "File System");
        reg = src.Add(root, "Registry");
        folder = src.Add(fs, "Created", CheckMark::Checked);
        file = src.Add(folder, "a.dll", CheckMark::Checked, "", "10:00 01/02/03 5 bytes");
        other = src.Add(folder, "readme.txt", CheckMark::None, "old", "new");
        key = src.Add(reg, "HKEY_LOCAL_MACHINE");
        tree.SetSource(&src);
        Pump();
    }

    // Client coordinates of a point in column 0 of a row, x from the cell's left.
    POINT At(int row, int x) {
        RECT rc{LVIR_BOUNDS};
        SendMessageA(tree.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
        return {rc.left + x, (rc.top + rc.bottom) / 2};
    }
    void ClickButton(int row) {
        POINT p = At(row, tree.PartsOf(row).button + 4);
        Click(tree.Handle(), p.x, p.y);
    }
    void ClickCheck(int row) {
        POINT p = At(row, tree.PartsOf(row).check + 4);
        Click(tree.Handle(), p.x, p.y);
    }
    // What the list view shows in a cell (it asks the control for it).
    std::string Cell(int row, int column) { return test::ListViewCell(tree.Handle(), row, column); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        int count = static_cast<int>(SendMessageA(tree.Handle(), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) names.push_back(Cell(i, 0));
        return names;
    }

    test::HostWindow host;
    FakeSource src;
    VirtualTree tree;
    VirtualTreeSource::Node root{}, fs{}, reg{}, folder{}, file{}, other{}, key{};
};

using Rows = std::vector<std::string>;

TEST_F(VirtualTreeTest, ExpandsAndCollapsesByButtonDoubleClickAndKeys) {
    EXPECT_EQ(Names(), (Rows{"My Computer"}));
    ClickButton(0);
    EXPECT_EQ(Names(), (Rows{"My Computer", "File System", "Registry"}));
    EXPECT_EQ(tree.RowLevel(1), 1);
    // A double click on the row's text toggles it too.
    POINT p = At(1, tree.PartsOf(1).text + 5);
    DoubleClick(tree.Handle(), p.x, p.y);
    EXPECT_EQ(Names(), (Rows{"My Computer", "File System", "Created", "Registry"}));
    EXPECT_EQ(tree.FocusedNode(), fs);
    // Right opens the focused row, Left closes it, then goes to the parent.
    tree.SetFocusedRow(2);
    Key(tree.Handle(), VK_RIGHT);
    EXPECT_EQ(Names(), (Rows{"My Computer", "File System", "Created", "a.dll", "readme.txt", "Registry"}));
    Key(tree.Handle(), VK_RIGHT);
    EXPECT_EQ(tree.FocusedNode(), file);
    Key(tree.Handle(), VK_LEFT);
    EXPECT_EQ(tree.FocusedNode(), folder);
    Key(tree.Handle(), VK_LEFT);
    EXPECT_EQ(Names(), (Rows{"My Computer", "File System", "Created", "Registry"}));
    Key(tree.Handle(), VK_SUBTRACT);
    Key(tree.Handle(), VK_ADD);
    EXPECT_EQ(Names().size(), 6u);
    tree.CollapseAll();
    EXPECT_EQ(Names(), (Rows{"My Computer"}));
    tree.SetFocusedRow(0);
    Key(tree.Handle(), VK_MULTIPLY);
    EXPECT_EQ(Names().size(), 7u);
    tree.CollapseAll();
    tree.ExpandAll();
    EXPECT_EQ(Names(),
              (Rows{"My Computer", "File System", "Created", "a.dll", "readme.txt", "Registry", "HKEY_LOCAL_MACHINE"}));
    EXPECT_EQ(tree.RowLevel(3), 3);
}

TEST_F(VirtualTreeTest, CheckBoxesToggleByClickAndSpaceOnlyWhereTheyExist) {
    tree.ExpandAll();
    std::vector<VirtualTreeSource::Node> checked;
    tree.OnChecked = [&](VirtualTreeSource::Node n) { checked.push_back(n); };
    EXPECT_EQ(tree.PartsOf(4).check, -1);  // readme.txt has none
    ClickCheck(2);                          // "Created": unchecks itself and a.dll
    EXPECT_EQ(src.items[folder].check, CheckMark::Unchecked);
    EXPECT_EQ(src.items[file].check, CheckMark::Unchecked);
    EXPECT_EQ(src.items[other].check, CheckMark::None);
    ClickCheck(3);
    EXPECT_EQ(src.items[file].check, CheckMark::Checked);
    EXPECT_EQ(src.items[folder].check, CheckMark::Unchecked);
    tree.SetFocusedRow(2);
    Key(tree.Handle(), VK_SPACE);
    EXPECT_EQ(src.items[folder].check, CheckMark::Checked);
    tree.SetFocusedRow(4);
    Key(tree.Handle(), VK_SPACE);  // no check box: nothing
    EXPECT_EQ(src.items[other].check, CheckMark::None);
    EXPECT_EQ(checked, (std::vector<VirtualTreeSource::Node>{folder, file, folder}));
    // A click on a row's text selects without checking.
    POINT p = At(3, tree.PartsOf(3).text + 3);
    Click(tree.Handle(), p.x, p.y);
    EXPECT_EQ(tree.FocusedNode(), file);
    EXPECT_EQ(src.items[file].check, CheckMark::Checked);
}

TEST_F(VirtualTreeTest, CellsShowTheSourceTextsInEveryColumn) {
    tree.ExpandAll();
    EXPECT_EQ(Cell(3, 0), "a.dll");
    EXPECT_EQ(Cell(3, 1), "");
    EXPECT_EQ(Cell(3, 2), "10:00 01/02/03 5 bytes");
    EXPECT_EQ(Cell(4, 1), "old");
    src.items[other].texts[1] = "changed";  // a mode switch changes texts, not rows
    tree.Repaint();
    EXPECT_EQ(Cell(4, 1), "changed");
}

TEST_F(VirtualTreeTest, ColumnsKeepMinimumWidthsAndTheLastFillsTheRest) {
    EXPECT_EQ(tree.ColumnWidth(0), 257);
    EXPECT_EQ(tree.ColumnWidth(1), 152);
    SendMessageA(tree.Handle(), LVM_SETCOLUMNWIDTH, 0, 10);
    SendMessageA(tree.Handle(), LVM_SETCOLUMNWIDTH, 1, 5);
    Pump();
    EXPECT_EQ(tree.ColumnWidth(0), 100);
    EXPECT_EQ(tree.ColumnWidth(1), 50);
    RECT rc;
    GetClientRect(tree.Handle(), &rc);
    EXPECT_EQ(tree.ColumnWidth(0) + tree.ColumnWidth(1) + tree.ColumnWidth(2), rc.right);
    tree.SetColumnWidth(1, 200);
    EXPECT_EQ(tree.ColumnWidth(0) + tree.ColumnWidth(1) + tree.ColumnWidth(2), rc.right);
}

TEST_F(VirtualTreeTest, RightClickSelectsTheRowAndAsksForTheMenu) {
    tree.ExpandAll();
    int menus = 0;
    tree.OnContextMenu = [&](POINT) { ++menus; };
    POINT p = At(5, 60);
    Click(tree.Handle(), p.x, p.y, true);
    EXPECT_EQ(tree.FocusedNode(), reg);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(ListView_GetSelectedCount(tree.Handle()), 1u);
}

TEST_F(VirtualTreeTest, RowsFollowTheSourceKeepingFocusAndExpansion) {
    tree.ExpandAll();
    tree.SetFocusedRow(6);  // HKEY_LOCAL_MACHINE
    // Nodes arrive above the focused row; the rebuild is deferred and
    // coalesced.
    src.Add(fs, "D:");
    tree.SourceChanged();
    auto value = src.Add(key, "Software");
    tree.SourceChanged();
    EXPECT_EQ(Names().size(), 7u);
    ASSERT_TRUE(test::PumpUntil([&] { return Names().size() == 8u; }));
    EXPECT_EQ(tree.FocusedNode(), key);
    EXPECT_EQ(tree.FocusedRow(), 7);
    // A node that has just got children shows collapsed.
    EXPECT_FALSE(tree.IsExpanded(key));
    tree.SetExpanded(key, true);
    EXPECT_EQ(tree.RowOf(value), 8);
}

}  // namespace
}  // namespace kelvora::ui
