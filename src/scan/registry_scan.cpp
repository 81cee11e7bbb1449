#include "scan/registry_scan.h"

#include <vector>

#include "scan/registry_walk.h"

namespace kelvora {

bool IsSkippedKey(platform::RootKey root, std::string_view keyPath, const TSettings& settings) {
    switch (root) {
        case platform::kLocalMachine:
            return settings.ScanHKCR && EqualsNoCase(keyPath, "SOFTWARE\\CLASSES");
        case platform::kCurrentUser:
            return EqualsNoCase(keyPath, "SOFTWARE\\VARNOK\\KELVORA");
        case platform::kUsers:
            return EqualsNoCase(keyPath, ".DEFAULT\\SOFTWARE\\VARNOK\\KELVORA");
        default:
            return false;
    }
}

namespace {

class RecordWriter {
public:
    explicit RecordWriter(TDBTree& dbTree) : dbTree_(dbTree) {}
    void BeginKey(std::string_view path, std::string_view) { dbTree_.WriteRecord(path, {}, nullptr, 0, 0); }
    void Value(std::string_view path, std::string_view name, std::uint32_t type, const std::uint8_t* data,
               std::int32_t size) {
        dbTree_.WriteValueRecord(path, name, data, type, size);
    }
    void EndKey() {}

private:
    TDBTree& dbTree_;
};

class TreeBuilder {
public:
    explicit TreeBuilder(SnapshotTree& tree) : tree_(tree) {}
    void BeginKey(std::string_view, std::string_view nodeName) { open_.push_back(tree_.NewNode(nodeName)); }
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
            node->NextSibling = open_.back()->FirstChild;
            open_.back()->FirstChild = node;
        }
    }

private:
    SnapshotTree& tree_;
    std::vector<TNode*> open_;  // the keys being walked, outermost first
};

}  // namespace

void ScanKey(ScanEnv& env, platform::RootKey root, std::string_view keyPath, TDBTree& dbTree) {
    RecordWriter writer(dbTree);
    RegistryWalk<RecordWriter> walk(env.registry, root, env.context.Settings, env.worker, writer);
    walk.Walk(keyPath, {});
}

SnapshotTree ReadKey(ScanEnv& env, platform::RootKey root, std::string_view nodeName, std::string_view keyPath) {
    SnapshotTree tree;
    TreeBuilder builder(tree);
    RegistryWalk<TreeBuilder> walk(env.registry, root, env.context.Settings, env.worker, builder);
    walk.Walk(keyPath, nodeName);
    return tree;
}

}  // namespace kelvora
