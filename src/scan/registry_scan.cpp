#include "scan/registry_scan.h"

#include <vector>

#include "scan/ordered_records.h"
#include "scan/registry_walk.h"
#include "scan/tree_pieces.h"
#include "settings/settings_store.h"

namespace kelvora {

namespace {

constexpr std::string_view kClassesSuffix = "_Classes";

// keyPath is user + "\" + kSettingsKeyPath.
bool IsSettingsKeyOf(std::string_view keyPath, std::string_view user) {
    return keyPath.size() == user.size() + 1 + kSettingsKeyPath.size() && StartsWithNoCase(keyPath, user) &&
           keyPath[user.size()] == '\\' && EqualsNoCase(keyPath.substr(user.size() + 1), kSettingsKeyPath);
}

// The current user's keys under HKEY_USERS: the user's own key, and its
// classes key, which is HKEY_CURRENT_USER\Software\Classes.
bool IsCurrentUserKey(std::string_view keyPath, std::string_view sid) {
    if (sid.empty() || !StartsWithNoCase(keyPath, sid)) return false;
    const std::string_view rest = keyPath.substr(sid.size());
    return rest.empty() || EqualsNoCase(rest, kClassesSuffix);
}

}  // namespace

bool IsSkippedKey(platform::RootKey root, std::string_view keyPath, const ScanConfig& config) {
    switch (root) {
        case platform::kLocalMachine:
            return config.Settings.ScanHKCR && EqualsNoCase(keyPath, "SOFTWARE\\CLASSES");
        case platform::kCurrentUser:
            return EqualsNoCase(keyPath, kSettingsKeyPath);
        case platform::kUsers:
            if (config.Settings.ScanHKCU && IsCurrentUserKey(keyPath, config.CurrentUserSid)) return true;
            return IsSettingsKeyOf(keyPath, ".DEFAULT") ||
                   (!config.CurrentUserSid.empty() && IsSettingsKeyOf(keyPath, config.CurrentUserSid));
        default:
            return false;
    }
}

namespace {

// Writes the records to a snapshot, or to a part of one that several
// threads write (then it hands sub-keys off when the part wants it).
class RecordWriter {
public:
    explicit RecordWriter(TDBTree& dbTree, PartWriter* part = nullptr, std::size_t depth = 0)
        : dbTree_(dbTree), part_(part), depth_(depth) {}
    // A key that could not be opened gets a record of its own kind, so the
    // rescan knows its content was never seen.
    void BeginKey(std::string_view path, std::string_view, bool unreadable, std::uint64_t) {
        dbTree_.WriteRecord(path, {}, nullptr, unreadable ? dbKindUnreadable : dbKindKey, 0);
        if (part_ != nullptr) part_->Wrote();
    }
    void Value(std::string_view path, std::string_view name, std::uint32_t type, const std::uint8_t* data,
               std::int32_t size) {
        dbTree_.WriteValueRecord(path, name, data, type, size);
        if (part_ != nullptr) part_->Wrote();
    }
    void EndKey() {}
    bool HandOff(std::string_view path, std::string_view, std::size_t depth, std::uint64_t) {
        return part_ != nullptr && part_->HandOff(path, depth_ + depth);
    }

private:
    TDBTree& dbTree_;
    PartWriter* part_;
    std::size_t depth_;  // of the walk's key below the target
};

// Builds the tree, or a piece of one that several threads read (then it
// hands sub-keys off when the pieces want it).
class TreeBuilder {
public:
    explicit TreeBuilder(SnapshotTree& tree, TTreePieces* pieces = nullptr, std::size_t depth = 0)
        : tree_(tree), pieces_(pieces), depth_(depth) {}
    void BeginKey(std::string_view, std::string_view nodeName, bool unreadable, std::uint64_t lastWriteTime) {
        open_.push_back(tree_.NewNode(nodeName));
        open_.back()->Unreadable = unreadable;
        open_.back()->LastWrite = FileTimeSeconds(lastWriteTime);
    }
    void Value(std::string_view, std::string_view name, std::uint32_t type, const std::uint8_t* data,
               std::int32_t size) {
        TNode* node = open_.back();
        TValori* item = tree_.NewValue(name, static_cast<std::int32_t>(type), data, size);
        item->Next = node->Values;
        node->Values = item;
    }
    void EndKey() {
        TNode* node = open_.back();
        open_.pop_back();
        if (open_.empty()) {
            tree_.Root = node;
        } else {
            Link(node);
        }
    }
    // The handed-off sub-key's node goes where its EndKey would put it.
    bool HandOff(std::string_view path, std::string_view nodeName, std::size_t depth, std::uint64_t lastWriteTime) {
        if (pieces_ == nullptr || !pieces_->Wants(depth_ + depth)) return false;
        TNode* node = tree_.NewNode(nodeName);
        node->LastWrite = FileTimeSeconds(lastWriteTime);
        Link(node);
        pieces_->HandOff(node, std::string(path), depth_ + depth);
        return true;
    }

private:
    void Link(TNode* node) {
        node->NextSibling = open_.back()->FirstChild;
        open_.back()->FirstChild = node;
    }

    SnapshotTree& tree_;
    TTreePieces* pieces_;
    std::size_t depth_;  // of the walk's key below the tree's root
    std::vector<TNode*> open_;  // the keys being walked, outermost first
};

}  // namespace

void ScanKey(ScanEnv& env, platform::RootKey root, std::string_view keyPath, TDBTree& dbTree, TWorkerPool* pool) {
    if (pool == nullptr || !pool->Parallel()) {
        RecordWriter writer(dbTree);
        RegistryWalk<RecordWriter> walk(env.registry, root, env.config, env.worker, writer);
        walk.Walk(keyPath, {});
        return;
    }
    const auto stream = std::make_shared<TOrderedRecords>(
        *pool, env.worker, dbTree,
        [&env, root](PartWriter& part, const std::string& path, std::size_t depth, IWorkerControl& control) {
            RecordWriter writer(part.Records(), &part, depth);
            RegistryWalk<RecordWriter> walk(env.registry, root, env.config, control, writer);
            walk.Walk(path, {});
        });
    stream->Run(std::string(keyPath));
}

SnapshotTree ReadKey(ScanEnv& env, platform::RootKey root, std::string_view nodeName, std::string_view keyPath,
                     TWorkerPool* pool) {
    if (pool == nullptr || !pool->Parallel()) {
        SnapshotTree tree;
        TreeBuilder builder(tree);
        RegistryWalk<TreeBuilder> walk(env.registry, root, env.config, env.worker, builder);
        walk.Walk(keyPath, nodeName);
        return tree;
    }
    const auto pieces = std::make_shared<TTreePieces>(
        *pool, env.worker,
        [&env, root](TTreePieces& pieces, SnapshotTree& tree, const std::string& path, std::string_view name,
                     std::size_t depth, IWorkerControl& control) {
            TreeBuilder builder(tree, &pieces, depth);
            RegistryWalk<TreeBuilder> walk(env.registry, root, env.config, control, builder);
            walk.Walk(path, name);
        });
    return pieces->ReadAll(std::string(keyPath), nodeName);
}

}  // namespace kelvora
