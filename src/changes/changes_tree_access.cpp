// ChangesTree::Access: reading and editing the tree under its lock.
#include <algorithm>
#include <stdexcept>

#include "changes/changes_tree.h"
#include "changes/changes_tree_internal.h"

namespace kelvora {

ChangesTree::Access::Access(ChangesTree& tree) : tree_(&tree), lock_(tree.mutex_, std::try_to_lock) {
    if (lock_.owns_lock()) return;
    tree.waiting_.fetch_add(1);
    lock_.lock();
    tree.waiting_.fetch_sub(1);
}

ChangesTree::Access::Access(Access&& other) noexcept : tree_(other.tree_), lock_(std::move(other.lock_)) {}

ChangesTree::Access::~Access() {
    if (!lock_.owns_lock()) return;
    const bool notify = tree_->EndChangeLocked();
    lock_.unlock();
    if (notify) tree_->Notify();
}

const ChangesTree::Node& ChangesTree::Access::Valid(NodeId node) const {
    if (node >= tree_->used_) throw std::out_of_range("no such node in the changes tree");
    return tree_->At(node);
}

NodeId ChangesTree::Access::Root() const { return tree_->framed_ ? kRootId : kNoNode; }
NodeId ChangesTree::Access::FileSystem() const { return tree_->framed_ ? kFileSystemId : kNoNode; }
NodeId ChangesTree::Access::Registry() const { return tree_->framed_ ? kRegistryId : kNoNode; }

NodeId ChangesTree::Access::Parent(NodeId node) const { return Valid(node).Parent; }
NodeId ChangesTree::Access::FirstChild(NodeId node) const { return Valid(node).FirstChild; }
NodeId ChangesTree::Access::LastChild(NodeId node) const { return Valid(node).LastChild; }
NodeId ChangesTree::Access::NextSibling(NodeId node) const { return Valid(node).Next; }
std::uint32_t ChangesTree::Access::ChildCount(NodeId node) const { return Valid(node).ChildCount; }
bool ChangesTree::Access::IsAlive(NodeId node) const { return node < tree_->used_ && tree_->At(node).Alive; }
const TNodeData& ChangesTree::Access::Data(NodeId node) const { return Valid(node).Data; }
TCheckState ChangesTree::Access::CheckState(NodeId node) const { return Valid(node).Check; }

bool ChangesTree::Access::IsIgnored(NodeId node) const { return Valid(node).Ignored; }

std::vector<NodeId> ChangesTree::Access::Children(NodeId node) const {
    const Node& n = Valid(node);
    std::vector<NodeId> children;
    children.reserve(n.ChildCount);
    for (NodeId c = n.FirstChild; c != kNoNode; c = tree_->At(c).Next) children.push_back(c);
    return children;
}

std::vector<NodeId> ChangesTree::Access::SortedChildren(NodeId node, const platform::Collation& names) const {
    std::vector<NodeId> children = Children(node);
    SortSiblings(children, names);
    return children;
}

namespace {

// Names of ASCII letters, digits, spaces and dots, which every collation
// orders as CompareNoCase does (platform::Collation).
bool PlainName(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '.';
    });
}

}  // namespace

void ChangesTree::Access::SortSiblings(std::vector<NodeId>& ids, const platform::Collation& names) const {
    if (ids.size() < 2) return;
    // When every name is plain, the collation's order is that of the names'
    // upper-case bytes: make those keys once instead of asking the
    // collation (about a microsecond a call on Windows) at every comparison.
    struct Key {
        std::int32_t kind;
        NodeId id;
        std::string name;
    };
    std::vector<Key> keys;
    keys.reserve(ids.size());
    for (NodeId id : ids) {
        const TNodeData& d = Valid(id).Data;
        if (!PlainName(d.Name)) {
            std::stable_sort(ids.begin(), ids.end(), [&](NodeId a, NodeId b) {
                return CompareNodes(tree_->At(a).Data, tree_->At(b).Data, names) < 0;
            });
            return;
        }
        keys.push_back({d.Kind, id, UpperAscii(d.Name)});
    }
    // Sorting pointers moves less than sorting the keys.
    std::vector<const Key*> order;
    order.reserve(keys.size());
    for (const Key& k : keys) order.push_back(&k);
    std::stable_sort(order.begin(), order.end(), [](const Key* x, const Key* y) {
        return x->kind != y->kind ? x->kind < y->kind : x->name < y->name;
    });
    for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = order[i]->id;
}

std::vector<NodeId> ChangesTree::Access::PostOrder(NodeId node, const platform::Collation& names) const {
    struct Level {
        NodeId node;
        std::vector<NodeId> children;
        std::size_t next = 0;
    };
    std::vector<NodeId> order;
    std::vector<Level> stack;
    stack.push_back({node, SortedChildren(node, names)});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next < level.children.size()) {
            const NodeId child = level.children[level.next++];
            stack.push_back({child, SortedChildren(child, names)});
        } else {
            order.push_back(level.node);
            stack.pop_back();
        }
    }
    return order;
}

int ChangesTree::Access::Level(NodeId node) const {
    int level = 0;
    for (NodeId p = Valid(node).Parent; p != kNoNode; p = tree_->At(p).Parent) ++level;
    return level;
}

std::string ChangesTree::Access::FullPath(NodeId node) const {
    std::vector<NodeId> chain;
    for (NodeId n = node; n != kNoNode && Valid(n).Parent != kNoNode && Valid(n).Parent != kRootId; n = Valid(n).Parent) {
        chain.push_back(n);
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '\\';
        path += tree_->At(*it).Data.Name;
    }
    return path;
}

NodeId ChangesTree::Access::FindChild(NodeId parent, std::string_view name) const {
    Valid(parent);
    return tree_->FindChildLocked(parent, name);
}

void ChangesTree::Access::AddToTree(std::string_view path, std::string_view name, TNodeData&& rec) {
    ChangesTree& t = *tree_;
    if (!t.framed_) throw std::logic_error("AddToTree before StartFill");
    const std::int32_t kind = rec.Kind;
    bool ignored = false;
    if (t.ExcludedLocked(path, name, kind)) {
        // Counted, so that the user learns what the lists hide from an
        // archive made before they held it; placed only on request.
        ++t.hidden_;
        if (!t.rules_->ShowIgnored) return;
        ignored = true;
    }
    const NodeId parent = t.PlaceLocked(path, kind, rec.RootKey);
    const NodeId leaf = t.NewNode();
    Node& n = t.At(leaf);
    TNodeData& d = n.Data;
    d.Name.assign(name);
    d.OldData = std::move(rec.OldData);
    d.NewData = std::move(rec.NewData);
    d.OldSize = rec.OldSize;
    d.NewSize = rec.NewSize;
    d.ValueType = rec.ValueType;
    d.RootKey = rec.RootKey;
    d.Kind = rec.Kind;
    d.Activity = rec.Activity;
    // The changes of one key or folder share their path: a leaf takes the
    // path of the leaf placed before it in the same parent when they are
    // equal.
    const Node& p = t.At(parent);
    if (p.LastChild != kNoNode && t.At(p.LastChild).Data.Path == rec.Path) {
        d.Path = t.At(p.LastChild).Data.Path;
    } else {
        d.Path = std::move(rec.Path);
    }
    rec.Path.clear();
    // The blocks now belong to the leaf.
    rec.OldSize = 0;
    rec.NewSize = 0;
    if (kind >= ckRegKeyCreated && kind <= ckFileCreated && t.rules_->PreChecked[kind]) {
        // Activity and what the ignore lists hold get their check box
        // unchecked: the user may still choose to undo them. A shared counter
        // is raised by a setup registering a shared file, so it is lowered as
        // before whatever else changed.
        const bool activity = rec.Activity != arSetup && kind != ckSharedCounterIncremented;
        n.Check = ignored || activity ? TCheckState::Unchecked : TCheckState::Checked;
    }
    n.Ignored = ignored;
    t.AppendChild(parent, leaf);
    t.dirty_ = true;
}

void ChangesTree::Access::SetChecked(NodeId node, bool checked) {
    Valid(node);
    tree_->SetCheckedLocked(node, checked);
}

void ChangesTree::Access::SetBranchChecked(NodeId node, bool checked) {
    Valid(node);
    ChangesTree& t = *tree_;
    // Pre-order through the subtree by the links alone (the spread changes
    // states, never the shape).
    // Only the user's own check puts a change of the ignore lists into the
    // undo; an uncheck reaches everything.
    const bool reachIgnored = t.At(node).Ignored || !checked;
    NodeId current = node;
    for (;;) {
        const Node& n = t.At(current);
        if (n.Check != TCheckState::None && (reachIgnored || !n.Ignored)) t.SetCheckedLocked(current, checked);
        if (t.At(current).FirstChild != kNoNode) {
            current = t.At(current).FirstChild;
            continue;
        }
        while (current != node && t.At(current).Next == kNoNode) current = t.At(current).Parent;
        if (current == node) break;
        current = t.At(current).Next;
    }
}

void ChangesTree::Access::ToggleByUser(NodeId node) {
    const Node& n = Valid(node);
    if (n.Check == TCheckState::None) return;
    const bool check = n.Check != TCheckState::Checked;
    const std::int32_t kind = n.Data.Kind;
    if (!check && (kind == ckRegKeyCreated || kind == ckFolderCreated)) {
        SetBranchChecked(node, false);
    } else {
        tree_->SetCheckedLocked(node, check);
    }
}

bool ChangesTree::Access::RemoveBranch(NodeId node) {
    if (!IsAlive(node) || Level(node) < 2) return false;
    ChangesTree& t = *tree_;
    t.Unlink(node);
    std::vector<NodeId> doomed{node};
    while (!doomed.empty()) {
        const NodeId id = doomed.back();
        doomed.pop_back();
        Node& n = t.At(id);
        for (NodeId c = n.FirstChild; c != kNoNode; c = t.At(c).Next) doomed.push_back(c);
        t.DropIndex(id);
        n.Data = TNodeData{};
        n.Parent = kNoNode;
        n.FirstChild = kNoNode;
        n.LastChild = kNoNode;
        n.Next = kNoNode;
        n.ChildCount = 0;
        n.Check = TCheckState::None;
        n.Alive = false;
        --t.alive_;
    }
    if (t.lastParent_ != kNoNode && !t.At(t.lastParent_).Alive) {
        t.lastPath_.clear();
        t.lastCategory_ = kNoNode;
        t.lastParent_ = kNoNode;
    }
    t.dirty_ = true;
    return true;
}

void ChangesTree::Access::SetKind(NodeId node, TChangeKind kind) {
    Valid(node);
    Node& n = tree_->At(node);
    if (!n.Alive) return;
    n.Data.Kind = kind;
    tree_->dirty_ = true;
    tree_->MarkReshapedLocked();
}

void ChangesTree::Access::SetActivity(NodeId node, TActivityReason reason) {
    Valid(node);
    Node& n = tree_->At(node);
    if (!n.Alive || n.Data.Activity == reason) return;
    n.Data.Activity = reason;
    tree_->dirty_ = true;
    tree_->MarkReshapedLocked();
}

TShapeChanges ChangesTree::Access::TakeShapeChanges() {
    ChangesTree& t = *tree_;
    TShapeChanges changes;
    changes.Reshaped = t.reshaped_;
    changes.Grown.swap(t.grown_);
    for (NodeId id : changes.Grown) t.At(id).Grown = false;
    t.reshaped_ = false;
    return changes;
}

}  // namespace kelvora
