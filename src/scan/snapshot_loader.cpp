#include "scan/snapshot_loader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "scan/db_tree.h"

namespace kelvora {

namespace {

// A hash table with open addressing for the loader's lookups: no allocation
// per entry and no division per probe, which matters at a million records.
// Entries are never removed.
template <class Key, class Value, class Hash, class Equal>
class FlatIndex {
public:
    // The value stored for key, or nullptr.
    Value* Find(const Key& key) {
        if (slots_.empty()) return nullptr;
        Slot& slot = Probe(key, Hash{}(key));
        return slot.used ? &slot.value : nullptr;
    }
    // The value stored for key; a new entry holds Value{}.
    Value& operator[](const Key& key) {
        if ((used_ + 1) * 4 > slots_.size() * 3) Grow();
        const std::size_t hash = Hash{}(key);
        Slot& slot = Probe(key, hash);
        if (!slot.used) {
            slot = Slot{hash, key, Value{}, true};
            ++used_;
        }
        return slot.value;
    }

private:
    struct Slot {
        std::size_t hash = 0;
        Key key{};
        Value value{};
        bool used = false;
    };

    Slot& Probe(const Key& key, std::size_t hash) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (!slot.used || (slot.hash == hash && Equal{}(slot.key, key))) return slot;
        }
    }

    void Grow() {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(slots_.empty() ? 64 : slots_.size() * 2));
        const std::size_t mask = slots_.size() - 1;
        for (Slot& slot : old) {
            if (!slot.used) continue;
            std::size_t i = slot.hash & mask;
            while (slots_[i].used) i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

std::uint64_t MixPointer(const void* p) {
    const std::uint64_t h = reinterpret_cast<std::uintptr_t>(p) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// A node's name under its parent; parent nullptr stands for the top level of
// a file-system tree (the root and its siblings).
struct ChildKey {
    const TNode* parent = nullptr;
    std::string_view name;  // points into the tree's arena
};

struct ChildKeyHash {
    std::size_t operator()(const ChildKey& k) const noexcept {
        return static_cast<std::size_t>(NoCaseHash{}(k.name) ^ MixPointer(k.parent));
    }
};

struct ChildKeyEqual {
    bool operator()(const ChildKey& a, const ChildKey& b) const noexcept {
        return a.parent == b.parent && EqualsNoCase(a.name, b.name);
    }
};

struct ParentHash {
    std::size_t operator()(const TNode* p) const noexcept { return static_cast<std::size_t>(MixPointer(p)); }
};

// An indexed chain of sibling nodes: every node of it is in the index, also
// those put in front of it later; tail is its last node.
struct IndexedChain {
    TNode* tail = nullptr;
};

// Chains shorter than this are searched along their links.
constexpr int kIndexChainsFrom = 16;

// Builds the tree record by record. A full-path walk finds each component
// as a search along the chain of candidates would: the first node of that
// name (ignoring case) in chain order. Long chains (a level of tens of
// thousands of keys) are searched through a hash index of (parent, name) so
// that loading costs no quadratic time; the index of a chain is made the
// first time a walk finds it long, and every node added to it later, at
// either end, goes into it. CurrentNode is the node that relative paths
// extend.
class SnapshotBuilder {
public:
    SnapshotBuilder(bool fileSystem, SnapshotLoadWork& work) : fileSystem_(fileSystem), work_(work) {}

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
        if (db.Kind() == dbKindUnreadable) {
            target->Unreadable = true;
        } else if (db.Kind() != dbKindKey) {
            db.ReadName(nameBuffer);
            const auto data = db.ReadData();
            TValori* item = tree_.NewValue(nameBuffer, static_cast<std::int32_t>(db.ValueType()), data.data(),
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
            tree_.Root = node;
        } else {
            // Only a damaged file has a relative path before any node.
            TNode* parent = currentNode_ != nullptr ? currentNode_ : tree_.Root;
            node->NextSibling = parent->FirstChild;
            parent->FirstChild = node;
            // In front of an indexed chain it is the first of its name.
            if (chains_.Find(parent) != nullptr) index_[ChildKey{parent, node->Name()}] = node;
        }
        currentNode_ = node;
        return node;
    }

    // The chain of parent's children; parent nullptr: the top level.
    TNode*& FirstOf(TNode* parent) { return parent != nullptr ? parent->FirstChild : tree_.Root; }

    TNode* FindChild(TNode* parent, std::string_view name) {
        if (chains_.Find(parent) != nullptr) {
            TNode** found = index_.Find(ChildKey{parent, name});
            return found != nullptr ? *found : nullptr;
        }
        int length = 0;
        for (TNode* n = FirstOf(parent); n != nullptr; n = n->NextSibling, ++length) {
            ++work_.LinksFollowed;
            if (EqualsNoCase(n->Name(), name)) return n;
        }
        if (length >= kIndexChainsFrom) IndexChain(parent);
        return nullptr;
    }

    void IndexChain(TNode* parent) {
        IndexedChain chain;
        for (TNode* n = FirstOf(parent); n != nullptr; n = n->NextSibling) {
            ++work_.LinksFollowed;
            TNode*& entry = index_[ChildKey{parent, n->Name()}];
            if (entry == nullptr) entry = n;  // the first of its name wins
            chain.tail = n;
        }
        chains_[parent] = chain;
    }

    // Links node at the end of parent's chain.
    void AppendChild(TNode* parent, TNode* node) {
        if (IndexedChain* chain = chains_.Find(parent)) {
            chain->tail->NextSibling = node;
            chain->tail = node;
            TNode*& entry = index_[ChildKey{parent, node->Name()}];
            if (entry == nullptr) entry = node;
            return;
        }
        TNode** link = &FirstOf(parent);  // a short chain
        while (*link != nullptr) {
            ++work_.LinksFollowed;
            link = &(*link)->NextSibling;
        }
        *link = node;
    }

    const bool fileSystem_;
    SnapshotLoadWork& work_;
    SnapshotTree tree_;
    TNode* currentNode_ = nullptr;
    FlatIndex<ChildKey, TNode*, ChildKeyHash, ChildKeyEqual> index_;
    FlatIndex<const TNode*, IndexedChain, ParentHash, std::equal_to<>> chains_;
};

}  // namespace

SnapshotTree LoadSnapshot(platform::FileSystem& fs, std::string_view folder, std::string_view name,
                          const std::atomic<TWizardState>& wizardState, IWorkerControl& control,
                          SnapshotLoadWork* work) {
    const bool fileSystem = !name.empty() && ToUpperAscii(name.front()) == 'F';
    SnapshotLoadWork counted;
    SnapshotBuilder builder(fileSystem, work != nullptr ? *work : counted);
    std::string file;
    {
        TDBTree db = TDBTree::CreateFromFile(fs, folder, name);
        file = db.FilePath();
        std::string path;
        std::string nameBuffer;
        db.ReadHeader(path);
        while (!db.EndOfData() && wizardState.load(std::memory_order_relaxed) != TWizardState::wsStopped) {
            builder.AddRecord(db, path, nameBuffer);
            db.ReadHeader(path);
            control.PausePoint();
        }
    }
    fs.DeleteFile(file);
    return builder.Take();
}

}  // namespace kelvora
