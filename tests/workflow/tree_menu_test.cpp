// The changes tree's context menu: what shows and what is enabled for each
// kind of node, and where "Add to ignore list" puts a path.
#include "workflow/tree_menu.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.h"

namespace kelvora {
namespace {

class TreeMenuTest : public ::testing::Test {
protected:
    TreeMenuTest() {
        files.AddFolder("C:\\App\\Data");
        files.AddFile("C:\\App\\run.exe");
        tree.StartFill(false);
        Add(ckFileCreated, "C:\\App", "run.exe");
        Add(ckFileCreated, "C:\\App", "gone.txt");
        Add(ckFolderCreated, "C:\\App", "Data");
        Add(ckFileDeleted, "C:\\App", "old.txt");
        Add(ckRegKeyCreated, "Software\\Vendor", "App", platform::kLocalMachine);
        Add(ckRegValueCreated, "Software\\Vendor\\App", "Version", platform::kLocalMachine);
    }
    void Add(TChangeKind kind, std::string_view path, std::string_view name, std::uint32_t root = 0) {
        TNodeData d;
        d.Kind = kind;
        d.RootKey = root;
        d.Path = std::string(path);
        if (kind >= ckFileCreated) d.SetNewText("12:00 01/01/2026 10");
        // Registry changes are placed below their root key's name.
        const std::string placement = root != 0 ? "HKEY_LOCAL_MACHINE\\" + std::string(path) : std::string(path);
        tree.AddToTree(placement, name, std::move(d));
    }
    // The node at a backslash path below "File System" or "Registry".
    NodeId Find(const ChangesTree::Access& a, NodeId from, std::string_view path) {
        while (!path.empty() && from != kNoNode) {
            const std::size_t cut = path.find('\\');
            from = a.FindChild(from, path.substr(0, cut));
            path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        }
        return from;
    }
    TTreeMenuState Menu(std::string_view path, bool registry = false, bool uninstall = false, bool editable = true) {
        auto a = tree.Lock();
        NodeId node = path.empty() ? a.Root() : Find(a, registry ? a.Registry() : a.FileSystem(), path);
        EXPECT_NE(node, kNoNode) << path;
        return TreeMenuFor(a, node, uninstall, editable, files);
    }

    platform::memory::MemoryFileSystem files;
    TSettings settings;
    ChangesTree tree{settings};
};

TEST_F(TreeMenuTest, ItemsFollowTheFocusedNode) {
    // The frame cannot be removed; a drive can; only uninstall mode checks.
    TTreeMenuState root = Menu("");
    EXPECT_TRUE(root.ExpandEnabled);
    EXPECT_FALSE(root.RemoveEnabled || root.OpenEnabled || root.AddToIgnoreVisible || root.CheckVisible);
    EXPECT_TRUE(Menu("", false, true).CheckVisible);
    TTreeMenuState drive = Menu("C:");
    EXPECT_TRUE(drive.RemoveEnabled);
    EXPECT_FALSE(drive.AddToIgnoreVisible);
    TTreeMenuState filling = Menu("C:\\App", false, false, false);
    EXPECT_FALSE(filling.RemoveEnabled || filling.AddToIgnoreEnabled) << "not while a worker fills the tree";
    EXPECT_TRUE(Menu("C:\\App").AddToIgnoreVisible);
    // Open and View need the item to exist; folders are not viewed.
    TTreeMenuState file = Menu("C:\\App\\run.exe");
    EXPECT_TRUE(file.OpenEnabled && file.ViewEnabled && file.AddToIgnoreVisible);
    EXPECT_FALSE(Menu("C:\\App\\gone.txt").OpenEnabled);
    TTreeMenuState folder = Menu("C:\\App\\Data");
    EXPECT_TRUE(folder.OpenEnabled);
    EXPECT_FALSE(folder.ViewEnabled);
    EXPECT_FALSE(Menu("C:\\App\\old.txt").OpenEnabled) << "a deleted file";
    // Values are never ignored from here; keys are.
    EXPECT_FALSE(Menu("HKEY_LOCAL_MACHINE\\Software\\Vendor\\App\\Version", true).AddToIgnoreVisible);
    EXPECT_TRUE(Menu("HKEY_LOCAL_MACHINE\\Software\\Vendor\\App", true).AddToIgnoreVisible);
}

TEST_F(TreeMenuTest, AddToIgnoreListPicksTheListByKindAndSkipsCoveredPaths) {
    auto a = tree.Lock();
    const NodeId fs = a.FileSystem();
    const NodeId reg = a.Registry();
    EXPECT_TRUE(AddToIgnoreList(a, Find(a, fs, "C:\\App\\run.exe"), settings));
    EXPECT_TRUE(AddToIgnoreList(a, Find(a, reg, "HKEY_LOCAL_MACHINE\\Software\\Vendor"), settings));
    EXPECT_TRUE(AddToIgnoreList(a, Find(a, fs, "C:\\App"), settings));
    // Below an excluded folder: the list already covers it.
    EXPECT_FALSE(AddToIgnoreList(a, Find(a, fs, "C:\\App\\Data"), settings));
    EXPECT_FALSE(AddToIgnoreList(a, Find(a, reg, "HKEY_LOCAL_MACHINE\\Software\\Vendor\\App\\Version"), settings));
    EXPECT_EQ(settings.IgnoredFiles.Items(), std::vector<std::string>{"C:\\App\\run.exe"});
    EXPECT_EQ(settings.IgnoredKeys.Items(), std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Vendor"});
    EXPECT_EQ(settings.ExcludedFolders.Items(), std::vector<std::string>{"C:\\App"});
}

TEST(ExportFileName, IsTheIdentifierAsATextFile) { EXPECT_EQ(ExportFileName("KDemo 2"), "KDemo 2.txt"); }

}  // namespace
}  // namespace kelvora
