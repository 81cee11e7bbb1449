#include "changes/changes_tree.h"

#include <stdexcept>
#include <thread>

#include "changes/changes_tree_internal.h"
#include "platform/text.h"
#include "translation/messages.h"

namespace kelvora {

namespace {

// A level with more children than this gets a name index.
constexpr std::uint32_t kIndexThreshold = 8;

bool IsDriveComponent(std::string_view component) { return component.size() == 2 && component[1] == ':'; }

// Path + "\" + name. A registry path that already ends with a backslash (a
// key directly below its root key, as the archive loader forms it) is not
// given a second one, so the ignore lists see the same text as in a rescan.
std::string JoinPath(std::string_view path, std::string_view name) {
    std::string full(path);
    if (full.empty() || full.back() != '\\') full += '\\';
    full += name;
    return full;
}

}  // namespace

ChangesTree::ChangesTree(const TSettings& settings) : settings_(settings), rules_(std::make_unique<FillRules>()) {}

ChangesTree::~ChangesTree() = default;

NodeId ChangesTree::NewNode() {
    if (used_ == kNoNode - 1) throw std::length_error("changes tree full");
    if (used_ == static_cast<NodeId>(chunks_.size()) * kChunkSize) chunks_.push_back(std::make_unique<Node[]>(kChunkSize));
    const NodeId id = used_++;
    At(id).Alive = true;
    ++alive_;
    return id;
}

void ChangesTree::ClearLocked() {
    chunks_.clear();
    indexes_.clear();
    used_ = 0;
    alive_ = 0;
    framed_ = false;
    hidden_ = 0;
    lastPath_.clear();
    lastCategory_ = kNoNode;
    lastParent_ = kNoNode;
    dirty_ = true;
    reshaped_ = true;
    grown_.clear();  // their nodes are gone with the chunks
}

// Forgets the list of grown parents: the reader reads everything anew.
void ChangesTree::MarkReshapedLocked() {
    if (reshaped_) return;
    reshaped_ = true;
    for (NodeId id : grown_) At(id).Grown = false;
    grown_.clear();
    grown_.shrink_to_fit();
}

void ChangesTree::AppendChild(NodeId parent, NodeId child) {
    Node& p = At(parent);
    Node& c = At(child);
    c.Parent = parent;
    if (p.LastChild == kNoNode) {
        p.FirstChild = child;
    } else {
        At(p.LastChild).Next = child;
    }
    p.LastChild = child;
    ++p.ChildCount;
    if (!reshaped_ && !p.Grown) {
        if (grown_.size() == kMaxGrownListed) {
            MarkReshapedLocked();
        } else {
            p.Grown = true;
            grown_.push_back(parent);
        }
    }
    if (!indexes_.empty()) {
        const auto it = indexes_.find(parent);
        if (it != indexes_.end()) IndexInsert(*it->second, child);
    }
}

// Adds the child unless an earlier child of its name is there, growing the
// table to keep it at most half full.
void ChangesTree::IndexInsert(ChildIndex& index, NodeId child) const {
    if ((index.used + 1) * 2 > index.slots.size()) {
        std::vector<NodeId> old = std::move(index.slots);
        index.slots.assign(old.empty() ? 16 : old.size() * 2, kNoNode);
        index.used = 0;
        for (NodeId id : old) {
            if (id != kNoNode) IndexInsert(index, id);
        }
    }
    const std::string& name = At(child).Data.Name;
    const std::size_t mask = index.slots.size() - 1;
    for (std::size_t i = NoCaseHash{}(name) & mask;; i = (i + 1) & mask) {
        NodeId& slot = index.slots[i];
        if (slot == kNoNode) {
            slot = child;
            ++index.used;
            return;
        }
        if (EqualsNoCase(At(slot).Data.Name, name)) return;
    }
}

void ChangesTree::DropIndex(NodeId parent) {
    if (!indexes_.empty()) indexes_.erase(parent);
}

// Takes the node out of its parent's child list and index.
void ChangesTree::Unlink(NodeId node) {
    Node& c = At(node);
    Node& p = At(c.Parent);
    NodeId prev = kNoNode;
    for (NodeId n = p.FirstChild; n != node; n = At(n).Next) prev = n;
    if (prev == kNoNode) {
        p.FirstChild = c.Next;
    } else {
        At(prev).Next = c.Next;
    }
    if (p.LastChild == node) p.LastChild = prev;
    --p.ChildCount;
    DropIndex(c.Parent);
    c.Parent = kNoNode;
    c.Next = kNoNode;
    MarkReshapedLocked();
}

// A level gets its index the first time it is searched with more than a few
// children; from then on appends keep it up to date. Levels that are never
// searched (a folder's files are found through the folder) never pay for one.
NodeId ChangesTree::FindChildLocked(NodeId parent, std::string_view name) const {
    const Node& p = At(parent);
    auto it = indexes_.find(parent);
    if (it == indexes_.end() && p.ChildCount > kIndexThreshold) {
        auto index = std::make_unique<ChildIndex>();
        for (NodeId n = p.FirstChild; n != kNoNode; n = At(n).Next) IndexInsert(*index, n);
        it = indexes_.emplace(parent, std::move(index)).first;
    }
    if (it != indexes_.end()) {
        const ChildIndex& index = *it->second;
        const std::size_t mask = index.slots.size() - 1;
        for (std::size_t i = NoCaseHash{}(name) & mask;; i = (i + 1) & mask) {
            const NodeId slot = index.slots[i];
            if (slot == kNoNode || EqualsNoCase(At(slot).Data.Name, name)) return slot;
        }
    }
    for (NodeId n = p.FirstChild; n != kNoNode; n = At(n).Next) {
        if (EqualsNoCase(At(n).Data.Name, name)) return n;
    }
    return kNoNode;
}

NodeId ChangesTree::PlaceLocked(std::string_view path, std::int32_t kind, std::uint32_t rootKey) {
    const NodeId category = IsRegistryKind(kind) ? kRegistryId : kFileSystemId;
    // The cache also compares the category, so a file path that happens to
    // spell a registry path is never placed below "Registry"; and it never
    // answers a node that was removed since.
    if (!path.empty() && category == lastCategory_ && lastParent_ != kNoNode && At(lastParent_).Alive &&
        EqualsNoCase(path, lastPath_)) {
        return lastParent_;
    }
    // Forget the old entry first: a walk that fails part-way must not leave
    // the new path paired with the old parent.
    lastParent_ = kNoNode;
    lastPath_.assign(path);
    lastCategory_ = category;
    NodeId current = category;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('\\');
        const std::string_view component = slash == std::string_view::npos ? rest : rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        NodeId child = FindChildLocked(current, component);
        if (child == kNoNode) {
            child = NewNode();
            TNodeData& d = At(child).Data;
            d.Name.assign(component);
            d.Kind = IsDriveComponent(component) ? ckDrive : ckPathBranch;
            d.RootKey = rootKey;
            AppendChild(current, child);
        }
        current = child;
    }
    lastParent_ = current;
    return current;
}

bool ChangesTree::ExcludedLocked(std::string_view path, std::string_view name, std::int32_t kind) const {
    switch (kind) {
        case ckRegKeyCreated:
        case ckRegKeyDeleted:
            return IsPathInList(JoinPath(path, name), rules_->IgnoredKeys);
        case ckRegValueCreated:
        case ckRegValueChanged:
        case ckRegValueDeleted:
        case ckSharedCounterIncremented:
            return IsPathInList(path, rules_->IgnoredKeys);
        case ckFolderCreated:
        case ckFolderDeleted:
            return IsPathInList(JoinPath(path, name), rules_->ExcludedFolders);
        case ckFileCreated:
        case ckFileChanged:
        case ckFileDeleted:
        case ckFileMovedFrom:
        case ckFileMovedTo:
            return IsPathInList(path, rules_->ExcludedFolders) ||
                   IsPathInList(JoinPath(path, name), rules_->IgnoredFiles);
        default:
            return false;
    }
}

// ------------------------------------------------------------ check marks

void ChangesTree::SetStateLocked(NodeId node, TCheckState state, std::vector<NodeId>& spread) {
    Node& n = At(node);
    if (n.Check == TCheckState::None || n.Check == state) return;
    n.Check = state;
    dirty_ = true;
    spread.push_back(node);
}

// A check spreads to a change of the ignore lists only from one of them.
void ChangesTree::SpreadStateLocked(NodeId node, TCheckState state, bool reachIgnored, std::vector<NodeId>& spread) {
    if (At(node).Ignored && !reachIgnored) return;
    SetStateLocked(node, state, spread);
}

// A node whose state changed passes it on: created keys, values and folders
// pass a check down to their direct children; deleted keys, values, folders
// and files pass a removed check down; a removed check on something created
// goes up to the parent, and a check on something deleted goes up too.
void ChangesTree::PropagateCheck(NodeId node, TCheckState state, bool reachIgnored, std::vector<NodeId>& spread) {
    const Node& n = At(node);
    const std::int32_t kind = n.Data.Kind;
    const bool created = kind == ckRegKeyCreated || kind == ckRegValueCreated || kind == ckFolderCreated;
    const bool deleted =
        kind == ckRegKeyDeleted || kind == ckRegValueDeleted || kind == ckFolderDeleted || kind == ckFileDeleted;
    bool down = false;
    bool up = false;
    if (state == TCheckState::Checked) {
        down = created;
        up = deleted;
    } else {
        down = deleted;
        up = created || kind == ckFileCreated;
    }
    if (down) {
        for (NodeId c = n.FirstChild; c != kNoNode; c = At(c).Next) SpreadStateLocked(c, state, reachIgnored, spread);
    }
    if (up && n.Parent != kNoNode) SpreadStateLocked(n.Parent, state, reachIgnored, spread);
}

// A spread only ever sets the one state it started with and stops at nodes
// already in it, so the nodes it reaches do not depend on the order in which
// they are visited; a work list keeps a deep tree off the call stack.
void ChangesTree::SetCheckedLocked(NodeId node, bool checked) {
    const TCheckState state = checked ? TCheckState::Checked : TCheckState::Unchecked;
    const bool reachIgnored = At(node).Ignored || !checked;
    std::vector<NodeId> spread;
    SetStateLocked(node, state, spread);
    while (!spread.empty()) {
        const NodeId next = spread.back();
        spread.pop_back();
        PropagateCheck(next, state, reachIgnored, spread);
    }
}

// ------------------------------------------------------------ filling

void ChangesTree::StartFill(bool uninstallMode, bool showIgnored) {
    auto rules = std::make_unique<FillRules>();
    rules->ShowIgnored = uninstallMode && showIgnored;
    rules->ExcludedFolders = settings_.ExcludedFolders;
    rules->IgnoredFiles = settings_.IgnoredFiles;
    rules->IgnoredKeys = settings_.IgnoredKeys;
    if (uninstallMode) {
        rules->PreChecked[ckRegKeyCreated] = settings_.DeleteKey;
        rules->PreChecked[ckRegKeyDeleted] = settings_.CreateKey;
        rules->PreChecked[ckRegValueCreated] = settings_.DeleteValues;
        rules->PreChecked[ckRegValueChanged] = settings_.RestoreValues;
        rules->PreChecked[ckRegValueDeleted] = settings_.CreateValues;
        rules->PreChecked[ckSharedCounterIncremented] = settings_.DecSharedCounter;
        rules->PreChecked[ckFolderCreated] = settings_.DeleteFolders;
        rules->PreChecked[ckFileCreated] = settings_.DeleteFiles;
    }
    const std::string captions[3] = {TranslateString(RS_MY_COMPUTER), TranslateString(RS_FILE_SYSTEM),
                                     TranslateString(RS_REGISTRY)};
    {
        Access access(*this);
        ClearLocked();
        rules_ = std::move(rules);
        const TChangeKind kinds[3] = {ckMyComputer, ckFileSystem, ckRegistry};
        for (int i = 0; i < 3; ++i) {
            const NodeId id = NewNode();
            At(id).Data.Name = captions[i];
            At(id).Data.Kind = kinds[i];
            if (id != kRootId) AppendChild(kRootId, id);
        }
        framed_ = true;
    }
}

void ChangesTree::AddToTree(std::string_view path, std::string_view name, TNodeData&& rec) {
    // A thread waiting for the lock (the window painting the tree) goes
    // first; the adding thread holds nothing meanwhile.
    while (waiting_.load() > 0) std::this_thread::yield();
    Lock().AddToTree(path, name, std::move(rec));
}

void ChangesTree::FinishFill() {
    const std::string fsEmpty = TranslateString(RS_FS_NO_CHG);
    const std::string regEmpty = TranslateString(RS_REG_NO_CHG);
    Access access(*this);
    if (!framed_) return;
    if (At(kFileSystemId).ChildCount == 0) At(kFileSystemId).Data.Name = fsEmpty;
    if (At(kRegistryId).ChildCount == 0) At(kRegistryId).Data.Name = regEmpty;
    dirty_ = true;
    MarkReshapedLocked();
}

void ChangesTree::Clear() {
    Access access(*this);
    ClearLocked();
}

ChangesTree::Access ChangesTree::Lock() { return Access(*this); }

// ------------------------------------------------------------ announcements

bool ChangesTree::EndChangeLocked() {
    if (!dirty_) return false;
    dirty_ = false;
    generation_.fetch_add(1, std::memory_order_acq_rel);
    if (!notifyArmed_) return false;
    notifyArmed_ = false;
    return true;
}

void ChangesTree::SetObserver(IChangesTreeObserver* observer) {
    std::lock_guard<std::mutex> guard(observerMutex_);
    observer_ = observer;
}

void ChangesTree::Notify() {
    std::lock_guard<std::mutex> guard(observerMutex_);
    if (observer_ != nullptr) observer_->TreeChanged();
}

std::uint64_t ChangesTree::AcknowledgeChanges() {
    std::lock_guard<std::mutex> guard(mutex_);
    notifyArmed_ = true;
    return generation_.load(std::memory_order_acquire);
}

}  // namespace kelvora
