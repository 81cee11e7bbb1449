// The changes tree control while the model is filled: the rows of new
// children are spliced in batch after batch, and every time they must be the
// rows a full rebuild makes, the ones a walk of the model in display order
// gives, with the focus and the scroll position on the same nodes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "ui/changes_tree_control.h"
#include "support/change_records.h"
#include "support/gui_win.h"

namespace kelvora::ui {
namespace {

using test::Bytes;
using test::kHklm;
using test::Rec;

struct RowView {
    NodeId node;
    int level;
    bool hasChildren;
    bool last;
    std::uint64_t lines;
    bool checkBox;
    std::string text;
    bool operator==(const RowView&) const = default;
};

void PrintTo(const RowView& r, std::ostream* os) {
    *os << "{" << r.node << " L" << r.level << (r.hasChildren ? " +" : "") << (r.last ? " last" : "") << " lines "
        << r.lines << (r.checkBox ? " box" : "") << " '" << r.text << "'}";
}

class ChangesTreeFillTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create(700, 400));
        RECT rc;
        GetClientRect(host.Handle(), &rc);
        ASSERT_TRUE(control.Create(host.Handle(), 100, {0, 0, rc.right, rc.bottom}));
        // Uninstall mode: created files get check boxes.
        model.StartFill(true);
        control.ModelReset();
        for (NodeId frame : {0u, 1u, 2u}) tree().SetExpanded(frame, true);
    }

    VirtualTree& tree() { return control.Tree(); }

    void File(const std::string& path, const std::string& name, TChangeKind kind = ckFileCreated) {
        TNodeData d = Rec(kind, path);
        d.SetNewText("10:00 01/02/26 100");
        model.AddToTree(path, name, std::move(d));
    }
    void Value(const std::string& key, const std::string& name) {
        model.AddToTree("HKEY_LOCAL_MACHINE\\" + key, name,
                        Rec(ckRegValueCreated, key, kHklm, 4, {}, Bytes({1, 0, 0, 0})));
    }
    NodeId Find(std::initializer_list<std::string_view> names) {
        auto a = model.Lock();
        NodeId n = a.Root();
        for (std::string_view name : names) n = n == kNoNode ? kNoNode : a.FindChild(n, name);
        return n;
    }

    std::vector<RowView> Shown() {
        std::vector<RowView> rows;
        for (int r = 0; r < tree().RowCount(); ++r)
            rows.push_back({tree().RowNode(r), tree().RowLevel(r), tree().RowHasChildren(r), tree().RowIsLastSibling(r),
                            tree().RowLines(r), tree().PartsOf(r).check >= 0, test::ListViewCell(tree().Handle(), r)});
        return rows;
    }
    // The rows worked out from the model alone: its children in display
    // order below every open node.
    std::vector<RowView> Expected() {
        std::vector<RowView> rows;
        auto a = model.Lock();
        if (a.Root() == kNoNode) return rows;
        Walk(a, a.Root(), 0, true, 0, rows);
        for (RowView& r : rows) r.text = a.Data(r.node).Name.empty() ? "(Default)" : a.Data(r.node).Name;
        return rows;
    }
    void Walk(ChangesTree::Access& a, NodeId node, int level, bool last, std::uint64_t lines,
              std::vector<RowView>& rows) {
        bool has = a.FirstChild(node) != kNoNode;
        rows.push_back({node, level, has, last, lines, a.HasCheckBox(node), {}});
        if (!has || !tree().IsExpanded(node)) return;
        std::uint64_t below = lines | (last ? 0 : std::uint64_t{1} << level);
        std::vector<NodeId> children = a.SortedChildren(node, LocaleCompareNoCase);
        for (std::size_t i = 0; i < children.size(); ++i)
            Walk(a, children[i], level + 1, i + 1 == children.size(), below, rows);
    }

    // Brings the rows up to date as a worker's announcement would, expects
    // them spliced (or not), and compares them with the model's rows and
    // then with a full rebuild's, focus and top row included.
    void ExpectRowsAfterRefresh(bool spliced) {
        NodeId focus = control.FocusedNode();
        NodeId top = tree().TopRow() >= 0 && tree().TopRow() < tree().RowCount() ? tree().RowNode(tree().TopRow())
                                                                                 : kNoNode;
        EXPECT_EQ(tree().Refresh(), spliced);
        std::vector<RowView> rows = Shown();
        EXPECT_EQ(rows, Expected());
        if (focus != kNoNode && tree().RowOf(focus) >= 0) EXPECT_EQ(control.FocusedNode(), focus);
        if (top != kNoNode && tree().RowOf(top) >= 0) EXPECT_EQ(tree().RowNode(tree().TopRow()), top);
        NodeId spliceFocus = control.FocusedNode();
        int spliceTop = tree().TopRow();
        tree().Rebuild();
        EXPECT_EQ(Shown(), rows);
        EXPECT_EQ(control.FocusedNode(), spliceFocus);
        EXPECT_EQ(tree().TopRow(), spliceTop);
    }

    test::HostWindow host;
    TSettings settings;
    ChangesTree model{settings};
    ChangesTreeControl control{model};
};

TEST_F(ChangesTreeFillTest, SplicedRowsMatchAFullRebuildBatchAfterBatch) {
    // Batch 1: the first folders, keys and drives, all new below open frame nodes.
    File("C:\\App", "c.txt");
    File("C:\\App", "a.txt");
    File("C:\\Zeta", "f1.txt");
    Value("Software\\Vendor", "v2");
    ExpectRowsAfterRefresh(true);
    tree().ExpandAll();  // opened rows are spliced in too
    EXPECT_EQ(Shown(), Expected());
    ExpectRowsAfterRefresh(true);

    // Batch 2: children before, between and after the shown ones; a folder
    // kind that sorts first; a new last drive (every row below C: changes its
    // lines); a new branch below an open folder (it shows closed); a new
    // folder before App.
    for (int i = 0; i < 30; ++i) File("C:\\Zeta", "g" + std::to_string(i) + ".txt");
    ASSERT_TRUE(tree().Refresh());
    tree().SetFocusedRow(tree().RowOf(Find({"File System", "C:", "Zeta", "f1.txt"})));
    SendMessageA(tree().Handle(), LVM_SCROLL, 0, 6 * 18);
    File("C:\\App", "b.txt");
    File("C:\\App", "z.txt");
    File("C:\\App", "0.txt");
    File("C:\\App", "Sub", ckFolderCreated);
    File("C:\\Alpha", "x.txt");
    File("C:\\Zeta\\Deep\\er", "f.txt");
    File("D:", "q.txt");
    Value("Software\\Vendor", "v1");
    Value("Software\\Vendor\\Key", "v3");
    ASSERT_GT(tree().TopRow(), 0);
    ExpectRowsAfterRefresh(true);

    // Batch 3: a leaf opened by the user gets children; a closed branch
    // grows out of sight; the drive that was last gets a later sibling.
    tree().SetExpanded(Find({"File System", "C:", "App", "Sub"}), true);
    File("C:\\App\\Sub", "in.txt");
    File("C:\\App\\Sub", "another.txt");
    File("C:\\Zeta\\Deep\\er", "g.txt");
    File("E:\\Last", "e.txt");
    ExpectRowsAfterRefresh(true);

    // A branch removed while the fill goes on: read in full once, then
    // spliced again, also below the recreated path.
    const NodeId zeta = Find({"File System", "C:", "Zeta"});
    ASSERT_TRUE(model.Lock().RemoveBranch(zeta));
    File("C:\\Zeta", "back.txt");
    ExpectRowsAfterRefresh(false);
    tree().ExpandAll();
    File("C:\\Zeta", "again.txt");
    File("C:\\App", "m.txt");
    ExpectRowsAfterRefresh(true);

    // A new fill starts from the frame.
    model.StartFill(true);
    control.ModelReset();
    EXPECT_EQ(tree().RowCount(), 1);
    tree().SetExpanded(0, true);
    File("C:\\New", "n.txt");
    ExpectRowsAfterRefresh(true);
}

TEST_F(ChangesTreeFillTest, RowsFollowAWorkerWhileTheUserExpandsAll) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int d = 0; d < 40; ++d)
            for (int f = 0; f < 60; ++f) {
                File("C:\\W\\d" + std::to_string(d % 7) + "\\s" + std::to_string(d), "f" + std::to_string(f));
                if (f % 20 == 0) Value("Software\\K" + std::to_string(d), "v" + std::to_string(f));
                if (f % 30 == 0) Sleep(1);
            }
        done = true;
    });
    // The rows follow through the control's own announcements and timer.
    int expands = 0;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            if (++expands % 5 == 0) tree().ExpandAll();
            return done.load();
        },
        20000));
    worker.join();
    ASSERT_TRUE(test::PumpUntil([&] { return Shown() == Expected(); }, 5000));
    tree().ExpandAll();
    std::vector<RowView> rows = Shown();
    EXPECT_EQ(rows, Expected());
    EXPECT_GT(rows.size(), 2400u);
}

}  // namespace
}  // namespace kelvora::ui
