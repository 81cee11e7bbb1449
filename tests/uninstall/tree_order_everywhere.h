// The tree's order wherever it is meant: names that the user's locale and a
// byte comparison order differently ("_", an apostrophe, an accented letter)
// are placed as created values below one key; the export lists them and the
// uninstaller deletes them, and both must follow the collation the screen
// uses. Shared by the native tests (in-memory collation) and the Windows
// tests (the real one, and the tree control on screen).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "changes/text_export.h"
#include "support/uninstall_run.h"

namespace kelvora::testing {

inline const std::vector<std::string> kOddNames{"b", "_a", "it's", "its", "\xC3\xA9" "a", "ea", "Z"};

// Places a created REG_SZ value of each name below HKEY_CURRENT_USER\key, in
// uninstall mode (checked).
inline void PlaceOddNames(ChangesTree& tree, const std::string& key) {
    tree.StartFill(true);
    for (const std::string& name : kOddNames) {
        TNodeData rec;
        rec.Kind = ckRegValueCreated;
        rec.RootKey = platform::kCurrentUser;
        rec.Path = key;
        rec.ValueType = static_cast<std::int32_t>(platform::kRegSz);
        rec.SetNewText("x");
        tree.AddToTree("HKEY_CURRENT_USER\\" + key, name, std::move(rec));
    }
}

// The value names in the order of the export's lines.
inline std::vector<std::string> ExportOrder(ChangesTree& tree, const platform::Collation& names) {
    const ChangesTree::Access access = tree.Lock();
    std::vector<std::string> order;
    for (const DocLine& line : BuildDocument(access, kNoNode, false, CellWords::Translated(), names)) {
        if (line.LineForm == DocLine::kItem) order.push_back(line.Text);
    }
    return order;
}

// The value names in the order the uninstaller deletes them (none of them
// exists: each line ends "not found", in the walk's order).
inline std::vector<std::string> UninstallOrder(platform::Platform& os, ChangesTree& tree, const std::string& key) {
    AppContext context;
    context.ProgramFolder = "C:\\NoSuchFolder";
    context.AppIdentifier = "Order";
    const std::string prefix = "DELETING REGISTRY VALUE: HKEY_CURRENT_USER\\" + key + "\\";
    std::vector<std::string> order;
    for (const std::string& line : UninstallLines(os, context, tree)) {
        if (line.rfind(prefix, 0) != 0) continue;
        order.push_back(line.substr(prefix.size(), line.find(" ... ") - prefix.size()));
    }
    return order;
}

// The names sorted by their bytes ignoring ASCII case: what the tree's order
// must not be for these names.
inline std::vector<std::string> ByteOrder() {
    std::vector<std::string> names = kOddNames;
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    return names;
}

}  // namespace kelvora::testing
