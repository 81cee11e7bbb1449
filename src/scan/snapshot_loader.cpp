#include "scan/snapshot_loader.h"

#include <functional>
#include <string>
#include <unordered_map>

#include "platform/text.h"
#include "scan/db_tree.h"

namespace kelvora {

namespace {

// A node's name under its parent; parent nullptr stands for the top level of
// a file-system tree (the root and its siblings).
struct ChildKey {
    const TNode* parent;
    std::string_view name;  // points into the tree's arena
};

struct ChildKeyHash {
    std::size_t operator()(const ChildKey& k) const noexcept {
        return NoCaseHash{}(k.name) ^ (std::hash<const void*>{}(k.parent) * 0x9E3779B97F4A7C15ull);
    }
};

struct ChildKeyEqual {
    bool operator()(const ChildKey& a, const ChildKey& b) const noexcept {
        return a.parent == b.parent && EqualsNoCase(a.name, b.name);
    }
};

// Builds the tree record by record. A full path is walked through a hash
// index of (parent, name) instead of along the sibling chains, so that a
// level of tens of thousands of keys costs no quadratic time. The index of a
// chain is made the first time a walk goes through it and holds, per name,
// the first node of that name in chain order (the one a search along the
// chain would find); CurrentNode is the node that relative paths extend.
class SnapshotBuilder {
public:
    explicit SnapshotBuilder(bool fileSystem) : fileSystem_(fileSystem) {}

    void AddRecord(TDBTree& db, const std::string& path, std::string& nameBuffer) {
        TNode* target;
        if ((db.Header() & dbFullPath) != 0) {
            target = path.empty() ? Root() : WalkFullPath(path);
        } else if ((db.Header() & dbRelPath) != 0) {
            target = AddRelative(path);
        } else {
            // A well-formed file never has a record without a path before
            // any node was reached; a damaged one adds to the root.
            target = currentNode_ != nullptr ? currentNode_ : Root();
        }
        if (db.Kind() != dbKindKey) {
            db.ReadName(nameBuffer);
            const auto data = db.ReadData();
            TValori* item = tree_.NewValue(nameBuffer, db.Kind(), data.data(),
                                           static_cast<std::int32_t>(data.size()));
            item->Next = target->Values;
            target->Values = item;
        }
    }

    SnapshotTree Take() { return std::move(tree_); }

private:
    // The root, made (empty name) when there is none yet.
    TNode* Root() {
        if (tree_.Root == nullptr) AppendChild(nullptr, tree_.NewNode({}));
        return tree_.Root;
    }

    TNode* WalkFullPath(std::string_view path) {
        // A registry tree hangs every key below its root; a damaged file that
        // lacks the root key's record still gets one.
        TNode* parent = fileSystem_ ? nullptr : Root();
        TNode* node = nullptr;
        while (!path.empty()) {
            const std::size_t slash = path.find('\\');
            const std::string_view component = path.substr(0, slash);
            path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
            node = FindChild(parent, component);
            if (node == nullptr) {
                node = tree_.NewNode(component);
                AppendChild(parent, node);
            }
            parent = node;
        }
        currentNode_ = node;
        return node;
    }

    TNode* AddRelative(std::string_view path) {
        TNode* node = tree_.NewNode(path);
        if (tree_.Root == nullptr) {
            AppendChild(nullptr, node);
        } else {
            // Only a damaged file has a relative path before any node.
            TNode* parent = currentNode_ != nullptr ? currentNode_ : tree_.Root;
            node->NextSibling = parent->FirstChild;
            parent->FirstChild = node;
            const auto tail = tails_.find(parent);
            if (tail != tails_.end()) {
                index_.insert_or_assign(ChildKey{parent, node->Name}, node);
                if (tail->second == nullptr) tail->second = node;
            }
        }
        currentNode_ = node;
        return node;
    }

    TNode*& FirstOf(TNode* parent) { return parent != nullptr ? parent->FirstChild : tree_.Root; }

    void IndexChain(TNode* parent) {
        if (tails_.contains(parent)) return;
        TNode* last = nullptr;
        for (TNode* n = FirstOf(parent); n != nullptr; n = n->NextSibling) {
            index_.try_emplace(ChildKey{parent, n->Name}, n);
            last = n;
        }
        tails_.emplace(parent, last);
    }

    TNode* FindChild(TNode* parent, std::string_view name) {
        IndexChain(parent);
        const auto found = index_.find(ChildKey{parent, name});
        return found != index_.end() ? found->second : nullptr;
    }

    // Links node at the end of parent's chain.
    void AppendChild(TNode* parent, TNode* node) {
        IndexChain(parent);
        TNode*& tail = tails_[parent];
        if (tail != nullptr) {
            tail->NextSibling = node;
        } else {
            FirstOf(parent) = node;
        }
        tail = node;
        index_.try_emplace(ChildKey{parent, node->Name}, node);
    }

    const bool fileSystem_;
    SnapshotTree tree_;
    TNode* currentNode_ = nullptr;
    std::unordered_map<ChildKey, TNode*, ChildKeyHash, ChildKeyEqual> index_;
    std::unordered_map<const TNode*, TNode*> tails_;  // last node of each indexed chain
};

}  // namespace

SnapshotTree LoadSnapshot(platform::FileSystem& fs, std::string_view name,
                          const std::atomic<TWizardState>& wizardState, IWorkerControl& control) {
    const bool fileSystem = !name.empty() && ToUpperAscii(name.front()) == 'F';
    SnapshotBuilder builder(fileSystem);
    {
        TDBTree db = TDBTree::CreateFromFile(fs, name);
        std::string path;
        std::string nameBuffer;
        db.ReadHeader(path);
        while (!db.EndOfData() && wizardState.load(std::memory_order_relaxed) != TWizardState::wsStopped) {
            builder.AddRecord(db, path, nameBuffer);
            db.ReadHeader(path);
            control.PausePoint();
        }
    }
    std::string file(name);
    file += ".sns";
    fs.DeleteFile(file);
    return builder.Take();
}

}  // namespace kelvora
