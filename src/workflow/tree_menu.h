// The decisions of the changes tree's context menu: which items show and
// which are enabled for the focused node, and the ignore list that "Add to
// ignore list" puts a node's path in; and the name Export proposes.
#pragma once

#include <string>
#include <string_view>

#include "changes/changes_tree.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace kelvora {

struct TTreeMenuState {
    bool CheckVisible = false;  // pmiCheck and pmiUncheck (uninstall mode)
    bool CheckEnabled = false;
    bool ExpandEnabled = false;  // pmiExpandAll and pmiCollapseAll
    bool RemoveEnabled = false;  // pmiRemoveBr
    bool OpenEnabled = false;    // pmiOpen and pmiProperties
    bool ViewEnabled = false;    // pmiView
    bool AddToIgnoreVisible = false;
    // The lists are the settings the running scans read: no entry is added
    // while a worker runs.
    bool AddToIgnoreEnabled = false;
    bool operator==(const TTreeMenuState&) const = default;
};

// focused: the focused node or kNoNode. editable: no worker fills or
// rewrites the tree, so a branch may be removed. The file or folder a node
// names must exist for Open, View and Properties.
TTreeMenuState TreeMenuFor(const ChangesTree::Access& tree, NodeId focused, bool uninstallMode, bool editable,
                           platform::FileSystem& files);

// The file or folder a node of a created, changed or moved-here item names
// (Path + "\" + Name).
std::string ItemPath(const TNodeData& data);

// Adds the node's full path to the list its kind belongs to (IgnoredKeys,
// ExcludedFolders or IgnoredFiles) unless that list already covers it;
// true when it was added.
bool AddToIgnoreList(const ChangesTree::Access& tree, NodeId node, TSettings& settings);

// The file name the export's dialog proposes for the tree of an
// application: its identifier as a text file.
std::string ExportFileName(std::string_view identifier);

}  // namespace kelvora
