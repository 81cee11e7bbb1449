// The undo package: two files that undo an installation on a machine where
// the same setup ran and Kelvora is absent. NAME-undo.reg (Registry Editor
// 5.00, UTF-16 with its byte-order mark) deletes the created values and
// keys and puts back the changed, deleted values and keys with their exact
// types and data; NAME-undo.cmd imports it, lowers the shared-file counters
// the setup raised, deletes the created files and then the created folders
// (deepest first), and logs every action to NAME-undo.log beside itself.
// Only the changes an uninstall would undo go in, in the uninstaller's
// phases, each phase only when its uninstall setting is on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "changes/changes_tree.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace kelvora {

// One change that the package undoes, copied out of the tree.
struct UndoItem {
    TChangeKind Kind = ckPathBranch;
    std::uint32_t RootKey = 0;
    std::string Path;  // the key path below RootKey, or the folder
    std::string Name;
    std::int32_t ValueType = 0;
    std::vector<std::uint8_t> OldData;
    std::vector<std::uint8_t> NewData;
    bool OldKnown = false;  // a counter's value before the setup is known
};

struct UndoPackageInfo {
    std::string Identifier;  // names the files: <Identifier>-undo.reg / .cmd
    std::string Made;        // when, as text for the files' headings
    std::string Program;     // "Kelvora 1.0.0"
};

// The changes of the tree whose phase is on in settings and that are not
// unchecked (a tree shown after a monitoring has no check boxes: all of
// them, as an uninstall would pre-check them), in the tree's order.
std::vector<UndoItem> CollectUndoItems(const ChangesTree::Access& tree, const platform::Collation& names,
                                       const TSettings& settings);

// The .reg file's text (UTF-8; ToUtf16File makes the file's bytes). Values
// in keys that the package deletes are left to the key's deletion; created
// keys go deepest first. Names with a line break cannot be written in this
// format: they are left out, with a comment.
std::string RegFileText(const std::vector<UndoItem>& items, const UndoPackageInfo& info);
// The .cmd file's text (UTF-8, lines ended by CR LF).
std::string UndoScriptText(const std::vector<UndoItem>& items, const UndoPackageInfo& info);

// UTF-8 text as UTF-16LE bytes with the byte-order mark first.
std::string ToUtf16File(std::string_view utf8);
// Appends UTF-8 text as UTF-16LE bytes; a byte that is not UTF-8 becomes
// U+FFFD.
void AppendUtf16(std::string& out, std::string_view utf8);

// Writes <folder>\<Identifier>-undo.reg and -undo.cmd; false when either
// could not be written.
bool WriteUndoPackage(platform::FileSystem& files, std::string_view folder, const std::vector<UndoItem>& items,
                      const UndoPackageInfo& info);

}  // namespace kelvora
