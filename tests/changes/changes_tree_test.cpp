#include "changes/changes_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/change_records.h"
#include "platform/memory/memory_collation.h"

namespace kelvora {
namespace {

using test::kHklm;
using test::Rec;

class ChangesTreeTest : public ::testing::Test {
protected:
    // Adds a file-system change; the placement path is the record's Path.
    void AddFile(TChangeKind kind, const std::string& path, const std::string& name) {
        tree.AddToTree(path, name, Rec(kind, path));
    }
    // Adds a registry change below HKEY_LOCAL_MACHINE.
    void AddReg(TChangeKind kind, const std::string& keyPath, const std::string& name) {
        tree.AddToTree("HKEY_LOCAL_MACHINE\\" + keyPath, name, Rec(kind, keyPath, kHklm));
    }
    // The names of a node's children in order, with their kinds.
    std::string Shape(NodeId node) {
        auto a = tree.Lock();
        std::string out;
        for (NodeId c : a.Children(node)) {
            if (!out.empty()) out += ' ';
            out += a.Data(c).Name + "/" + std::to_string(a.Data(c).Kind);
        }
        return out;
    }
    // Walks names from a node, first match ignoring case.
    NodeId Find(NodeId from, std::initializer_list<std::string_view> names) {
        auto a = tree.Lock();
        for (std::string_view n : names) {
            from = a.FindChild(from, n);
            if (from == kNoNode) break;
        }
        return from;
    }
    NodeId Fs() { return tree.Lock().FileSystem(); }
    NodeId Reg() { return tree.Lock().Registry(); }

    TSettings settings;
    ChangesTree tree{settings};
};

TEST_F(ChangesTreeTest, FrameAndNoChangeCaptions) {
    tree.StartFill(false);
    {
        auto a = tree.Lock();
        EXPECT_EQ(a.Data(a.Root()).Name, "My Computer");
        EXPECT_EQ(a.Data(a.Root()).Kind, ckMyComputer);
        EXPECT_EQ(a.Children(a.Root()), (std::vector<NodeId>{a.FileSystem(), a.Registry()}));
        EXPECT_EQ(a.Level(a.Registry()), 1);
    }
    AddFile(ckFileCreated, "C:", "a.txt");
    tree.FinishFill();
    auto a = tree.Lock();
    EXPECT_EQ(a.Data(a.FileSystem()).Name, "File System");
    EXPECT_EQ(a.Data(a.Registry()).Name, "Registry (no changes)");
    EXPECT_FALSE(a.HasCheckBox(a.FirstChild(a.FindChild(a.FileSystem(), "C:"))));  // install mode
}

TEST_F(ChangesTreeTest, CreatedFolderLeafServesAsBranchOnlyWhenPlacedFirst) {
    tree.StartFill(false);
    // Folder before its files: the files hang below the folder's leaf.
    AddFile(ckFolderCreated, "C:", "App");
    AddFile(ckFileCreated, "C:\\App", "a.exe");
    // A file before its folder: a branch is made; the folder's leaf is a sibling.
    AddFile(ckFileCreated, "C:\\Late", "b.exe");
    AddFile(ckFolderCreated, "C:", "Late");
    const NodeId drive = Find(Fs(), {"C:"});
    EXPECT_EQ(Shape(drive), "App/7 Late/18 Late/7");
    EXPECT_EQ(Shape(Find(drive, {"App"})), "a.exe/9");
    EXPECT_EQ(Shape(Find(drive, {"Late"})), "b.exe/9");
}

TEST_F(ChangesTreeTest, ComponentsMatchIgnoringCaseAndKeepFirstSpelling) {
    tree.StartFill(false);
    AddFile(ckFileCreated, "C:\\Program Files", "a");
    AddFile(ckFileCreated, "c:\\PROGRAM FILES", "b");  // same folder through the cache
    AddFile(ckFileCreated, "D:\\x", "c");
    AddFile(ckFileCreated, "C:\\PROGRAM FILES", "d");  // same folder through a walk
    EXPECT_EQ(Shape(Fs()), "C:/17 D:/17");
    EXPECT_EQ(Shape(Find(Fs(), {"C:", "program files"})), "a/9 b/9 d/9");
    auto a = tree.Lock();
    EXPECT_EQ(a.Data(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "program files")).Name, "Program Files");
}

TEST_F(ChangesTreeTest, LeavesNeverMergeWithSameNamedChildren) {
    tree.StartFill(false);
    AddFile(ckFileDeleted, "C:", "x.dll");
    AddFile(ckFileCreated, "C:", "X.DLL");
    EXPECT_EQ(Shape(Find(Fs(), {"C:"})), "x.dll/11 X.DLL/9");
}

TEST_F(ChangesTreeTest, DriveBranchOnlyForTwoCharactersEndingInColon) {
    tree.StartFill(false);
    AddFile(ckFileCreated, "C:", "a");
    AddFile(ckFileCreated, "AB\\x", "b");
    AddFile(ckFileCreated, "C:x\\y", "c");
    AddFile(ckFileCreated, "X:\\:C", "d");
    EXPECT_EQ(Shape(Fs()), "C:/17 AB/18 C:x/18 X:/17");
    EXPECT_EQ(Shape(Find(Fs(), {"X:"})), ":C/18");
    // A whole new drive has an empty path: its leaf sits on "File System".
    AddFile(ckFolderCreated, "", "E:");
    EXPECT_EQ(Shape(Fs()), "C:/17 AB/18 C:x/18 X:/17 E:/7");
}

TEST_F(ChangesTreeTest, RegistryPlacementAndBranchRootKey) {
    tree.StartFill(false);
    AddReg(ckRegValueCreated, "", "RootValue");  // a value of the root key itself
    AddReg(ckRegKeyCreated, "", "Soft");         // a key directly below the root key
    AddReg(ckRegValueCreated, "Soft", "v");
    AddReg(ckRegValueChanged, "Other\\Sub", "w");
    EXPECT_EQ(Shape(Reg()), "HKEY_LOCAL_MACHINE/18");
    const NodeId hklm = Find(Reg(), {"HKEY_LOCAL_MACHINE"});
    EXPECT_EQ(Shape(hklm), "RootValue/3 Soft/1 Other/18");
    EXPECT_EQ(Shape(Find(hklm, {"Soft"})), "v/3");
    auto a = tree.Lock();
    EXPECT_EQ(a.FullPath(a.FindChild(a.FindChild(hklm, "Other"), "Sub")), "HKEY_LOCAL_MACHINE\\Other\\Sub");
    EXPECT_EQ(a.FullPath(a.Registry()), "");
    EXPECT_EQ(a.Data(hklm).RootKey, kHklm);
    EXPECT_EQ(a.Data(a.FindChild(hklm, "Other")).RootKey, kHklm);
    EXPECT_EQ(a.Data(a.FindChild(a.FindChild(hklm, "Other"), "Sub")).RootKey, kHklm);
}

TEST_F(ChangesTreeTest, CacheIsPerCategory) {
    tree.StartFill(false);
    // A file path that spells the registry path just placed stays below "File System".
    AddReg(ckRegValueCreated, "Soft", "v");
    AddFile(ckFileCreated, "HKEY_LOCAL_MACHINE\\Soft", "f");
    EXPECT_EQ(Shape(Reg()), "HKEY_LOCAL_MACHINE/18");
    EXPECT_EQ(Shape(Fs()), "HKEY_LOCAL_MACHINE/18");
    EXPECT_EQ(Shape(Find(Fs(), {"HKEY_LOCAL_MACHINE", "Soft"})), "f/9");
}

TEST_F(ChangesTreeTest, LeafTakesOverRecordData) {
    tree.StartFill(false);
    TNodeData d = Rec(ckRegValueChanged, "Soft", kHklm);
    d.ValueType = 4;
    const std::uint8_t oldBytes[4] = {1, 0, 0, 0};
    const std::uint8_t newBytes[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    d.SetOld(oldBytes, 4);
    d.SetNew(newBytes, 4);
    const std::uint8_t* newBlock = d.NewData.Get();
    d.Name = "not read";
    tree.AddToTree("HKEY_LOCAL_MACHINE\\Soft", "Val", std::move(d));
    EXPECT_FALSE(d.NewData.Present());
    auto a = tree.Lock();
    const NodeId leaf = a.FirstChild(a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "Soft"));
    const TNodeData& got = a.Data(leaf);
    EXPECT_EQ(got.Name, "Val");
    EXPECT_EQ(got.Path, "Soft");
    EXPECT_EQ(got.NewData.Get(), newBlock);  // moved, not copied
    EXPECT_EQ(got.OldSize, 4);
    EXPECT_EQ(got.ValueType, 4);
    EXPECT_EQ(got.RootKey, kHklm);
}

// The leaves of one folder share one copy of their path, but a leaf placed
// there through a path spelt otherwise keeps its own spelling.
TEST_F(ChangesTreeTest, LeavesShareOnlyAnEqualPath) {
    tree.StartFill(false);
    AddFile(ckFileCreated, "C:\\Apps", "a.exe");
    AddFile(ckFileCreated, "C:\\Apps", "b.exe");
    AddFile(ckFileCreated, "C:\\APPS", "c.exe");
    auto a = tree.Lock();
    const std::vector<NodeId> leaves = a.Children(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "Apps"));
    ASSERT_EQ(leaves.size(), 3u);
    EXPECT_TRUE(a.Data(leaves[1]).Path.SharesWith(a.Data(leaves[0]).Path));
    EXPECT_EQ(a.Data(leaves[1]).Path, "C:\\Apps");
    EXPECT_EQ(a.Data(leaves[2]).Path, "C:\\APPS");
}

TEST_F(ChangesTreeTest, ExcludedChangesAddNoNode) {
    settings.IgnoredKeys.Add("HKEY_LOCAL_MACHINE\\Soft");
    settings.ExcludedFolders.Add("C:\\Temp");
    settings.IgnoredFiles.Add("C:\\pagefile.sys");
    tree.StartFill(true);
    // Entries added once the fill has started count from the next fill.
    settings.IgnoredFiles.Add("C:\\late.txt");
    AddReg(ckRegKeyCreated, "", "Soft");          // the key itself
    AddReg(ckRegKeyCreated, "", "Software");      // only a common prefix
    AddReg(ckRegValueCreated, "Soft\\Sub", "v");  // a value below it
    AddFile(ckFolderCreated, "C:", "Temp");
    // As the rescan places a created folder: its parent's path ends with a
    // backslash, which the name joins without a second one.
    tree.AddToTree("C:\\", "TEMP", Rec(ckFolderCreated, "C:"));
    AddFile(ckFileChanged, "C:\\Temp\\Deep", "x");
    AddFile(ckFileCreated, "C:", "PAGEFILE.SYS");
    AddFile(ckFileCreated, "C:", "late.txt");
    TNodeData kept = Rec(ckFileCreated, "C:\\TEMP");
    kept.SetNewText("12:00 01/01/02 5");
    tree.AddToTree("C:\\TEMP", "y", std::move(kept));
    EXPECT_TRUE(kept.NewData.Present());  // a dropped record's blocks stay with the caller
    EXPECT_EQ(Shape(Find(Reg(), {"HKEY_LOCAL_MACHINE"})), "Software/1");
    EXPECT_EQ(Shape(Find(Fs(), {"C:"})), "late.txt/9");
    EXPECT_EQ(tree.Lock().HiddenCount(), 7u);
}

TEST_F(ChangesTreeTest, ShownChangesOfTheIgnoreListsStayOutOfTheUndoUntilCheckedThemselves) {
    settings.IgnoredFiles.Add("C:\\App\\skip.txt");
    settings.IgnoredKeys.Add("HKEY_LOCAL_MACHINE\\Gone\\Skip");
    tree.StartFill(true, true);
    AddFile(ckFolderCreated, "C:", "App");
    AddFile(ckFileCreated, "C:\\App", "skip.txt");
    AddFile(ckFileCreated, "C:\\App", "a.exe");
    AddReg(ckRegKeyDeleted, "", "Gone");
    AddReg(ckRegKeyDeleted, "Gone", "Skip");
    auto a = tree.Lock();
    EXPECT_EQ(a.HiddenCount(), 2u);
    const NodeId app = a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App");
    const NodeId skip = a.FindChild(app, "skip.txt");
    const NodeId key = a.FindChild(a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "Gone"), "Skip");
    ASSERT_NE(skip, kNoNode);
    EXPECT_TRUE(a.IsIgnored(skip) && !a.IsIgnored(app));
    EXPECT_EQ(a.CheckState(skip), TCheckState::Unchecked);
    EXPECT_TRUE(a.IsChecked(a.FindChild(app, "a.exe")));
    // Checks of other nodes pass them by; their own box and an uncheck do not.
    a.ToggleByUser(app);
    a.ToggleByUser(app);
    a.SetBranchChecked(a.Root(), true);
    EXPECT_FALSE(a.IsChecked(skip));
    EXPECT_FALSE(a.IsChecked(key));
    a.ToggleByUser(skip);
    EXPECT_TRUE(a.IsChecked(skip));
    a.ToggleByUser(app);
    EXPECT_FALSE(a.IsChecked(skip));
}

TEST_F(ChangesTreeTest, UninstallModePreChecksFromSettings) {
    settings.DeleteFiles = false;
    tree.StartFill(true);
    AddFile(ckFolderCreated, "C:", "A");
    AddFile(ckFolderDeleted, "C:", "B");
    AddFile(ckFileCreated, "C:", "c");
    AddReg(ckRegValueDeleted, "K", "v");
    auto a = tree.Lock();
    const NodeId drive = a.FindChild(a.FileSystem(), "C:");
    EXPECT_FALSE(a.HasCheckBox(drive));
    const std::vector<NodeId> leaves = a.Children(drive);
    EXPECT_TRUE(a.IsChecked(leaves[0]));
    EXPECT_FALSE(a.HasCheckBox(leaves[1]));  // deleted folders are shown only
    EXPECT_FALSE(a.HasCheckBox(leaves[2]));  // DeleteFiles is off
    EXPECT_TRUE(a.IsChecked(a.FirstChild(a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "K"))));
}

TEST_F(ChangesTreeTest, CheckSpreadsThroughCreatedFolders) {
    tree.StartFill(true);
    AddFile(ckFolderCreated, "C:", "App");
    AddFile(ckFileCreated, "C:\\App", "a.exe");
    AddFile(ckFolderCreated, "C:\\App", "Sub");
    AddFile(ckFileCreated, "C:\\App\\Sub", "b.dll");
    AddFile(ckFileChanged, "C:\\App", "c.ini");
    auto a = tree.Lock();
    const NodeId drive = a.FindChild(a.FileSystem(), "C:");
    const NodeId app = a.FindChild(drive, "App");
    const NodeId file = a.FindChild(app, "a.exe");
    const NodeId sub = a.FindChild(app, "Sub");
    const NodeId deep = a.FindChild(sub, "b.dll");
    // Unchecking a created file unchecks its created folder; the drive has no box.
    a.SetChecked(deep, false);
    EXPECT_FALSE(a.IsChecked(sub));
    EXPECT_FALSE(a.IsChecked(app));
    EXPECT_TRUE(a.IsChecked(file));
    EXPECT_FALSE(a.HasCheckBox(drive));
    // Checking the folder checks its direct children, and the created sub-folder its own.
    a.SetChecked(app, true);
    EXPECT_TRUE(a.IsChecked(file));
    EXPECT_TRUE(a.IsChecked(sub));
    EXPECT_TRUE(a.IsChecked(deep));
    EXPECT_FALSE(a.HasCheckBox(a.FindChild(app, "c.ini")));
    // Unchecking a created folder does not reach its children.
    a.SetChecked(app, false);
    EXPECT_TRUE(a.IsChecked(sub));
}

TEST_F(ChangesTreeTest, CheckSpreadsThroughDeletedAndCreatedKeys) {
    tree.StartFill(true);
    AddReg(ckRegKeyDeleted, "", "Gone");
    AddReg(ckRegValueDeleted, "Gone", "v");
    AddReg(ckRegKeyCreated, "", "New");
    AddReg(ckRegValueCreated, "New", "w");
    AddReg(ckRegValueChanged, "New", "c");
    auto a = tree.Lock();
    const NodeId hklm = a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE");
    const NodeId gone = a.FindChild(hklm, "Gone");
    const NodeId v = a.FindChild(gone, "v");
    const NodeId created = a.FindChild(hklm, "New");
    // Unchecking a deleted key unchecks its values; checking one value checks the key again.
    a.SetChecked(gone, false);
    EXPECT_FALSE(a.IsChecked(v));
    a.SetChecked(v, true);
    EXPECT_TRUE(a.IsChecked(gone));
    // Unchecking a value inside a created key unchecks the key; a changed value stays.
    a.SetChecked(a.FindChild(created, "w"), false);
    EXPECT_FALSE(a.IsChecked(created));
    EXPECT_TRUE(a.IsChecked(a.FindChild(created, "c")));
}

TEST_F(ChangesTreeTest, UserUncheckingACreatedFolderOrKeyKeepsItsWholeBranch) {
    tree.StartFill(true);
    AddFile(ckFolderCreated, "C:", "App");
    AddFile(ckFileCreated, "C:\\App", "a.exe");
    AddFile(ckFolderCreated, "C:\\App", "Sub");
    AddFile(ckFileCreated, "C:\\App\\Sub", "b.dll");
    AddReg(ckRegKeyCreated, "", "New");
    AddReg(ckRegValueCreated, "New", "w");
    AddReg(ckRegValueCreated, "", "Top");
    auto a = tree.Lock();
    const NodeId app = a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App");
    const NodeId sub = a.FindChild(app, "Sub");
    const NodeId deep = a.FindChild(sub, "b.dll");
    const NodeId key = a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "New");
    a.ToggleByUser(app);
    EXPECT_FALSE(a.IsChecked(app));
    EXPECT_FALSE(a.IsChecked(a.FindChild(app, "a.exe")));
    EXPECT_FALSE(a.IsChecked(sub));
    EXPECT_FALSE(a.IsChecked(deep));
    a.ToggleByUser(key);
    EXPECT_FALSE(a.IsChecked(a.FindChild(key, "w")));
    EXPECT_TRUE(a.IsChecked(a.FindChild(a.FindChild(a.Registry(), "HKEY_LOCAL_MACHINE"), "Top")));
    // Checking keeps the rule of the direct children, which spread on.
    a.ToggleByUser(app);
    EXPECT_TRUE(a.IsChecked(deep));
    // A created file the user unchecks still takes its folder's check away.
    a.ToggleByUser(deep);
    EXPECT_FALSE(a.IsChecked(deep));
    EXPECT_FALSE(a.IsChecked(app));
    EXPECT_TRUE(a.IsChecked(a.FindChild(app, "a.exe")));
}

TEST_F(ChangesTreeTest, SetBranchCheckedCoversNodesWithoutBoxes) {
    tree.StartFill(true);
    AddFile(ckFileCreated, "C:\\A", "a");
    AddFile(ckFileDeleted, "C:\\A\\B", "b");
    AddFile(ckFolderCreated, "D:", "F");
    auto a = tree.Lock();
    a.SetBranchChecked(a.FileSystem(), false);
    const NodeId fa = a.FindChild(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "A"), "a");
    EXPECT_FALSE(a.IsChecked(fa));
    EXPECT_FALSE(a.HasCheckBox(a.FindChild(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "A"), "B")));
    EXPECT_FALSE(a.IsChecked(a.FindChild(a.FindChild(a.FileSystem(), "D:"), "F")));
    a.SetBranchChecked(a.Root(), true);
    EXPECT_TRUE(a.IsChecked(fa));
}

TEST_F(ChangesTreeTest, RemoveBranchUnderTheCacheAndFirstMatchIndex) {
    tree.StartFill(false);
    AddFile(ckFileCreated, "C:\\App\\Bin", "a");
    {
        auto a = tree.Lock();
        EXPECT_FALSE(a.RemoveBranch(a.FileSystem()));  // the frame stays
        EXPECT_TRUE(a.RemoveBranch(a.FindChild(a.FindChild(a.FileSystem(), "C:"), "App")));
    }
    // The cache pointed into the removed branch: the same path is walked again.
    AddFile(ckFileCreated, "C:\\App\\Bin", "b");
    EXPECT_EQ(Shape(Find(Fs(), {"C:", "App", "Bin"})), "b/9");

    // A wide level uses its name index; removing the first of two equal names
    // makes the second the first match.
    for (int i = 0; i < 40; ++i) AddFile(ckFileCreated, "D:\\W", std::string("f").append(std::to_string(i)));
    AddFile(ckFolderCreated, "D:\\W", "dup");
    AddFile(ckFolderDeleted, "D:\\W", "DUP");
    AddFile(ckFileCreated, "D:\\W\\Dup", "inside");
    const NodeId w = Find(Fs(), {"D:", "W"});
    NodeId first = kNoNode;
    {
        auto a = tree.Lock();
        first = a.FindChild(w, "dUp");
        EXPECT_EQ(a.Data(first).Kind, ckFolderCreated);
    }
    EXPECT_EQ(Shape(first), "inside/9");
    {
        auto a = tree.Lock();
        EXPECT_TRUE(a.RemoveBranch(first));
        EXPECT_FALSE(a.IsAlive(first));
        EXPECT_EQ(a.Data(a.FindChild(w, "DUP")).Kind, ckFolderDeleted);
        EXPECT_EQ(a.ChildCount(w), 41u);
    }
    AddFile(ckFileCreated, "D:\\W\\Dup", "again");
    EXPECT_EQ(Shape(Find(w, {"dup"})), "again/9");
    // A later child of the same name, appended to the indexed level, is not the first.
    AddFile(ckFileCreated, "D:\\W", "Dup");
    EXPECT_EQ(Shape(Find(w, {"dup"})), "again/9");
}

TEST_F(ChangesTreeTest, SiblingOrderByKindThenName) {
    tree.StartFill(false);
    AddFile(ckFileCreated, "C:\\Z", "z");
    AddFile(ckFileCreated, "C:", "b.txt");
    AddFile(ckFileDeleted, "C:", "A.txt");
    AddFile(ckFileCreated, "C:", "a.txt");
    AddFile(ckFolderDeleted, "C:", "old");
    auto a = tree.Lock();
    std::string order;
    const platform::memory::MemoryCollation names;
    for (NodeId c : a.SortedChildren(a.FindChild(a.FileSystem(), "C:"), names)) order += a.Data(c).Name + " ";
    EXPECT_EQ(order, "old a.txt b.txt A.txt Z ");
    EXPECT_LT(CompareNodes(a.Data(a.FileSystem()), a.Data(a.Registry()), names), 0);
}

// What a view learns when it asks for the shape changes: which nodes got
// children, each once, while appending is all that happened; anything else
// tells it to read the whole tree.
TEST_F(ChangesTreeTest, ShapeChangesListGrownParentsUntilSomethingElseHappens) {
    tree.StartFill(false);
    EXPECT_TRUE(tree.Lock().TakeShapeChanges().Reshaped);  // a new fill
    AddFile(ckFileCreated, "C:\\A", "1");
    AddFile(ckFileCreated, "C:\\A", "2");
    AddFile(ckFileCreated, "C:\\B", "3");
    AddFile(ckFileCreated, "C:\\A", "4");
    const NodeId c = Find(Fs(), {"C:"}), a = Find(c, {"A"}), b = Find(c, {"B"});
    TShapeChanges changes = tree.Lock().TakeShapeChanges();
    EXPECT_FALSE(changes.Reshaped);
    EXPECT_EQ(changes.Grown, (std::vector<NodeId>{Fs(), c, a, b}));
    // Taking starts the list anew.
    changes = tree.Lock().TakeShapeChanges();
    EXPECT_FALSE(changes.Reshaped);
    EXPECT_TRUE(changes.Grown.empty());
    AddFile(ckFileCreated, "C:\\B", "5");
    EXPECT_EQ(tree.Lock().TakeShapeChanges().Grown, std::vector<NodeId>{b});
    // Check marks change no shape.
    tree.Lock().SetBranchChecked(c, true);
    EXPECT_FALSE(tree.Lock().TakeShapeChanges().Reshaped);

    auto reshapedBy = [&](auto&& change) {
        AddFile(ckFileCreated, "C:\\B", "x");
        change();
        changes = tree.Lock().TakeShapeChanges();
        return changes.Reshaped && changes.Grown.empty();
    };
    const NodeId one = Find(a, {"1"});
    EXPECT_TRUE(reshapedBy([&] { tree.Lock().SetKind(one, ckFileMovedTo); }));
    EXPECT_TRUE(reshapedBy([&] { EXPECT_TRUE(tree.Lock().RemoveBranch(a)); }));
    EXPECT_TRUE(reshapedBy([&] { tree.FinishFill(); }));
    EXPECT_TRUE(reshapedBy([&] { tree.Clear(); }));
}

TEST_F(ChangesTreeTest, TooManyGrownParentsReshapeAndTheListStartsAgain) {
    tree.StartFill(false);
    tree.Lock().TakeShapeChanges();
    // Each record in a folder of its own: the drive and the folders grow.
    for (int i = 0; i < 70000; ++i) AddFile(ckFileCreated, "C:\\F" + std::to_string(i), "f");
    TShapeChanges changes = tree.Lock().TakeShapeChanges();
    EXPECT_TRUE(changes.Reshaped);
    EXPECT_TRUE(changes.Grown.empty());
    AddFile(ckFileCreated, "C:\\F7", "g");
    changes = tree.Lock().TakeShapeChanges();
    EXPECT_FALSE(changes.Reshaped);
    EXPECT_EQ(changes.Grown, std::vector<NodeId>{Find(Fs(), {"C:", "F7"})});
}

}  // namespace
}  // namespace kelvora
