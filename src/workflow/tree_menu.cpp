#include "workflow/tree_menu.h"

namespace kelvora {

namespace {

bool IsFolderOrFileKind(std::int32_t kind) { return kind >= ckFolderCreated && kind <= ckFileMovedTo; }

// A node below "Registry" (its category at level 1).
bool UnderRegistry(const ChangesTree::Access& tree, NodeId node) {
    while (node != kNoNode && tree.Level(node) > 1) node = tree.Parent(node);
    return node != kNoNode && node == tree.Registry();
}

}  // namespace

std::string ItemPath(const TNodeData& data) { return data.Path + "\\" + data.Name; }

TTreeMenuState TreeMenuFor(const ChangesTree::Access& tree, NodeId focused, bool uninstallMode, bool editable,
                           platform::FileSystem& files) {
    TTreeMenuState menu;
    const bool has = focused != kNoNode && tree.IsAlive(focused);
    menu.CheckVisible = uninstallMode;
    menu.CheckEnabled = has;
    menu.ExpandEnabled = tree.Root() != kNoNode;
    if (!has) return menu;
    const int level = tree.Level(focused);
    const TNodeData& d = tree.Data(focused);
    menu.RemoveEnabled = editable && level >= 2;
    switch (d.Kind) {
    case ckFolderCreated:
        menu.OpenEnabled = files.FolderExists(ItemPath(d));
        break;
    case ckFileCreated:
    case ckFileChanged:
    case ckFileMovedTo:
        menu.OpenEnabled = menu.ViewEnabled = files.FileExists(ItemPath(d));
        break;
    default:
        break;
    }
    menu.AddToIgnoreVisible = level >= 3 && (d.Kind == ckRegKeyCreated || d.Kind == ckRegKeyDeleted ||
                                             IsFolderOrFileKind(d.Kind) || d.Kind == ckPathBranch);
    menu.AddToIgnoreEnabled = editable;
    return menu;
}

bool AddToIgnoreList(const ChangesTree::Access& tree, NodeId node, TSettings& settings) {
    const std::int32_t kind = tree.Data(node).Kind;
    TSortedList* list = nullptr;
    if (kind == ckRegKeyCreated || kind == ckRegKeyDeleted) list = &settings.IgnoredKeys;
    else if (kind == ckFolderCreated || kind == ckFolderDeleted) list = &settings.ExcludedFolders;
    else if (IsFolderOrFileKind(kind)) list = &settings.IgnoredFiles;
    else if (kind == ckPathBranch) list = UnderRegistry(tree, node) ? &settings.IgnoredKeys : &settings.ExcludedFolders;
    if (list == nullptr) return false;
    const std::string path = tree.FullPath(node);
    if (path.empty() || IsPathInList(path, *list)) return false;
    return list->Add(path);
}

std::string ExportFileName(std::string_view identifier) { return std::string(identifier) + ".txt"; }

}  // namespace kelvora
