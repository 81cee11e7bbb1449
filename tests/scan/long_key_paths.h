// Keys whose full paths are 300 and 1,000 characters long, longer than the
// registry takes in one call: a first scan and a rescan read their values and
// sub-keys, and undoing the changes found brings the registry back. Shared by
// the memory registry's test and the real registry's (under Wine).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry_path.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/registry_scan.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"
#include "uninstall/uninstall_actions.h"

namespace kelvora::testing {

// base extended by names of at most 50 characters to exactly length characters.
inline std::string PathOfLength(std::string path, std::size_t length) {
    for (char letter = 'A'; path.size() < length; ++letter) {
        const std::size_t left = length - path.size() - 1;  // after the backslash
        // Never leave a remainder too short for a name.
        const std::size_t name = left > 51 ? 50 : left;
        path += '\\';
        path += std::string(name, letter);
    }
    return path;
}

inline void PutDeep(platform::Registry& registry, platform::RootKey root, const std::string& path,
                    const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    platform::RegKey key;
    ASSERT_EQ(platform::CreateKeyPath(registry, root, path, key), platform::kErrorSuccess) << path.size();
    ASSERT_EQ(registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
}

inline void DeleteDeepValue(platform::Registry& registry, platform::RootKey root, const std::string& path,
                            const std::string& name) {
    platform::RegKey key;
    ASSERT_EQ(platform::OpenKeyPath(registry, root, path, platform::kKeyAllAccess, key), platform::kErrorSuccess);
    ASSERT_EQ(registry.DeleteValue(key, name), platform::kErrorSuccess);
}

// Undoes one change as the uninstaller's phase for its kind does.
inline Outcome Undo(platform::Registry& registry, const RecordingSink::Entry& entry) {
    const TNodeData& record = entry.record;
    const std::string key = record.Path.empty() ? entry.name : record.Path + "\\" + entry.name;
    const std::vector<std::uint8_t> old = OldBytes(record);
    switch (record.Kind) {
        case ckRegValueCreated: return DeleteRegistryValue(registry, record.RootKey, record.Path, entry.name);
        case ckRegKeyCreated: return DeleteRegistryKey(registry, record.RootKey, key);
        case ckRegValueChanged:
            return RestoreRegistryValue(registry, record.RootKey, record.Path, entry.name,
                                        static_cast<std::uint32_t>(record.ValueType), old);
        case ckRegKeyDeleted: return CreateRegistryKey(registry, record.RootKey, key);
        case ckRegValueDeleted:
            return CreateRegistryValue(registry, record.RootKey, record.Path, entry.name,
                                       static_cast<std::uint32_t>(record.ValueType), old);
        default: return kOutcomeError;
    }
}

inline std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// base: a scratch key of at least two names below root, with no sub-keys;
// the snapshot file goes to the current directory of env.files.
inline void ScanAndUndoDeepKeys(ScanEnv& env, platform::RootKey root, const std::string& base) {
    platform::Registry& reg = env.registry;
    const std::string key300 = PathOfLength(base, 300);
    const std::string key1000 = PathOfLength(key300, 1000);
    PutDeep(reg, root, key300, "keep", platform::kRegSz, {'k', 0});
    PutDeep(reg, root, key300, "change", platform::kRegDword, Dword(1));
    PutDeep(reg, root, key300, "gone", platform::kRegSz, {'g', 0});
    PutDeep(reg, root, key1000, "v", platform::kRegSz, {'d', 0});
    PutDeep(reg, root, key1000 + "\\Old", "o", platform::kRegDword, Dword(5));
    const std::size_t cut = base.rfind('\\');
    const std::string parent = base.substr(0, cut);
    const std::string name = base.substr(cut + 1);
    const SnapshotTree before = ReadKey(env, root, name, base);
    TDBTree dbTree = TDBTree::CreateEmpty(env.config.ProgramFolder, "HKCU");
    ScanKey(env, root, base, dbTree);
    dbTree.Save(env.files);

    // The installation.
    PutDeep(reg, root, key300, "change", platform::kRegDword, Dword(2));
    DeleteDeepValue(reg, root, key300, "gone");
    PutDeep(reg, root, key300, "new", platform::kRegSz, {'n', 0});
    PutDeep(reg, root, key1000, "added", platform::kRegDword, Dword(9));
    PutDeep(reg, root, key1000 + "\\Created", "c", platform::kRegSz, {'c', 0});
    DeleteDeepValue(reg, root, key1000 + "\\Old", "o");
    ASSERT_EQ(platform::DeleteKeyPath(reg, root, key1000 + "\\Old"), platform::kErrorSuccess);

    // The rescan.
    const SnapshotTree oldTree = LoadSnapshot(env.files, env.config.ProgramFolder, "HKCU", env.wizardState, env.worker);
    const TNode* oldNode = FindKey(oldTree.Root, base);
    ASSERT_NE(oldNode, nullptr);
    const SnapshotTree newTree = ReadKey(env, root, name, base);
    RecordingSink sink;
    CompareKeys(env, sink, newTree.Root, oldNode, parent, root, false);
    CompareKeys(env, sink, oldNode, newTree.Root, parent, root, true);
    const std::string rootName(RootKeyName(root));
    const std::string n = rootName + "\\" + key300;
    const std::string f = rootName + "\\" + key1000;
    EXPECT_EQ(Sorted(sink.Lines()),
              Sorted({"4 " + n + "|change", "3 " + n + "|new", "5 " + n + "|gone", "3 " + f + "|added",
                      "1 " + f + "|Created", "3 " + f + "\\Created|c", "2 " + f + "|Old", "5 " + f + "\\Old|o"}));

    // The uninstall, phase by phase.
    for (const std::int32_t kind : {ckRegValueCreated, ckRegKeyCreated, ckRegValueChanged, ckRegKeyDeleted,
                                    ckRegValueDeleted}) {
        for (const RecordingSink::Entry& entry : sink.entries) {
            if (entry.record.Kind != kind) continue;
            EXPECT_EQ(Undo(reg, entry), kOutcomeOk) << kind << " " << entry.name;
        }
    }
    const SnapshotTree after = ReadKey(env, root, name, base);
    EXPECT_EQ(Sorted(Flatten(after)), Sorted(Flatten(before)));
}

}  // namespace kelvora::testing
