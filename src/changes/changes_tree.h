// The changes tree: a fixed frame ("My Computer" with "File System" and
// "Registry"), branch nodes for the path components on the way to each
// change, and one leaf per change. The rescan and the archive loader fill it
// from their worker thread while the window shows it; the uninstaller, the
// archive saver and the text export walk it.
//
// Threading contract
// - One mutex guards the whole tree. AddToTree takes it for one record.
//   Everything else (reading nodes, check edits, removals, kind changes)
//   happens through a ChangesTree::Access, which holds the mutex for its
//   lifetime. Keep an Access short: never hold one while waiting for another
//   thread (a call run on the main thread, a pause point, a message box), or
//   the two threads deadlock.
// - Node ids stay valid until the tree is cleared; a removed node keeps its id
//   but is no longer alive (IsAlive), has no children and no next sibling. A
//   walker that releases the lock between steps checks IsAlive.
// - StartFill, FinishFill and Clear run on the main thread, with no worker
//   adding. StartFill copies the filter lists and the uninstall settings, so
//   the user may add an entry to a list (it takes effect at the next fill)
//   while a worker fills.
// - Changes are announced to the observer after the mutex is released, on
//   the thread that made them, at most once until AcknowledgeChanges: the
//   observer only posts a message to the window (it must not block on the
//   main thread); the window's handler calls AcknowledgeChanges and then
//   reads the tree. Generation() counts every change and may be read
//   without the lock.
// - The tree also keeps, for one reader, what its shape did since that
//   reader last asked (Access::TakeShapeChanges): which nodes got new
//   children, as long as appending children is all that happened.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "changes/node_data.h"
#include "changes/sibling_order.h"
#include "settings/settings.h"

namespace kelvora {

using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFFu;

// Whether a node has a check box, and its state.
enum class TCheckState : std::uint8_t { None, Unchecked, Checked };

class IChangesTreeObserver {
public:
    virtual ~IChangesTreeObserver() = default;
    // Nodes were added, removed or changed since the last AcknowledgeChanges.
    virtual void TreeChanged() = 0;
};

// How the tree's shape changed since the last Access::TakeShapeChanges.
struct TShapeChanges {
    // Anything but appended children happened (a clear, a removal, a kind
    // or caption change, or too many parents to list): read everything anew.
    bool Reshaped = true;
    // Otherwise: the nodes that got new children, each once, in the order
    // they first got one. Children are only ever appended.
    std::vector<NodeId> Grown;
};

class ChangesTree {
public:
    class Access;

    // The settings are read by StartFill only (see the threading contract).
    explicit ChangesTree(const TSettings& settings);
    ~ChangesTree();
    ChangesTree(const ChangesTree&) = delete;
    ChangesTree& operator=(const ChangesTree&) = delete;

    // Clears the tree, builds the frame with translated captions, resets the
    // placement cache and copies the filter lists and, in uninstall mode (the
    // tree is filled from an archive), the settings that pre-check leaves.
    // An archive's changes that the lists hold are counted (HiddenCount);
    // with showIgnored they are placed too, never pre-checked, and marked
    // (IsIgnored) so that no spread from another node reaches them.
    void StartFill(bool uninstallMode, bool showIgnored = false);
    // Places one change record (see Access::AddToTree). Any thread.
    void AddToTree(std::string_view path, std::string_view name, TNodeData&& rec);
    // Renames an empty "File System" or "Registry" to its "(no changes)" caption.
    void FinishFill();
    // Removes every node, the frame included.
    void Clear();

    // Locks the tree for reading and editing.
    Access Lock();

    // Sets the observer (nullptr for none). Any thread but one inside the
    // observer's TreeChanged. Waits for an announcement in progress, so the
    // old observer is never called once this has returned and may be
    // destroyed.
    void SetObserver(IChangesTreeObserver* observer);
    // Re-arms the observer and answers the current generation. Takes the
    // lock: never call it (nor AddToTree, StartFill, FinishFill, Clear or
    // Lock) on a thread that already holds an Access.
    std::uint64_t AcknowledgeChanges();
    std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }

private:
    struct Node;
    struct ChildIndex;
    struct FillRules;
    friend class Access;

    Node& At(NodeId id);
    const Node& At(NodeId id) const;
    NodeId NewNode();
    void ClearLocked();
    void AppendChild(NodeId parent, NodeId child);
    void Unlink(NodeId node);
    NodeId FindChildLocked(NodeId parent, std::string_view name) const;
    void IndexInsert(ChildIndex& index, NodeId child) const;
    void DropIndex(NodeId parent);
    NodeId PlaceLocked(std::string_view path, std::int32_t kind, std::uint32_t rootKey);
    bool ExcludedLocked(std::string_view path, std::string_view name, std::int32_t kind) const;
    void SetStateLocked(NodeId node, TCheckState state, std::vector<NodeId>& spread);
    void SpreadStateLocked(NodeId node, TCheckState state, bool reachIgnored, std::vector<NodeId>& spread);
    void SetCheckedLocked(NodeId node, bool checked);
    void PropagateCheck(NodeId node, TCheckState state, bool reachIgnored, std::vector<NodeId>& spread);
    // Called with the mutex held when an Access ends: true when the observer
    // should be told once the mutex is released.
    bool EndChangeLocked();
    void Notify();
    void MarkReshapedLocked();

    const TSettings& settings_;
    mutable std::mutex mutex_;
    // Threads waiting for mutex_ in Lock(): a worker adding records at full
    // speed lets them in first, or the window thread could wait on the lock
    // for as long as the worker adds without a break (a mutex is not fair).
    std::atomic<int> waiting_{0};
    std::vector<std::unique_ptr<Node[]>> chunks_;
    // The name indexes of the levels that have one, by parent. Built by a
    // search (under the tree's lock), hence mutable.
    mutable std::unordered_map<NodeId, std::unique_ptr<ChildIndex>> indexes_;
    NodeId used_ = 0;         // node slots handed out since the last clear
    std::size_t hidden_ = 0;  // changes of this fill that the lists hold
    std::size_t alive_ = 0;   // nodes not removed
    bool framed_ = false;
    std::unique_ptr<FillRules> rules_;
    // The placement cache: the last path placed, its category and its parent.
    std::string lastPath_;
    NodeId lastCategory_ = kNoNode;
    NodeId lastParent_ = kNoNode;
    // Change announcement.
    bool dirty_ = false;
    bool notifyArmed_ = true;
    std::atomic<std::uint64_t> generation_{0};
    // Held while the observer is set or called (never with mutex_ held).
    std::mutex observerMutex_;
    IChangesTreeObserver* observer_ = nullptr;
    // Shape changes not yet taken; nothing is listed while reshaped_.
    bool reshaped_ = true;
    std::vector<NodeId> grown_;
};

// Holds the tree's lock; every read and edit of nodes goes through one.
// Node ids passed in must come from this tree (since its last clear);
// others raise std::out_of_range.
class ChangesTree::Access {
public:
    Access(Access&& other) noexcept;
    Access& operator=(Access&&) = delete;
    ~Access();

    // The frame; kNoNode while the tree is empty.
    NodeId Root() const;
    NodeId FileSystem() const;
    NodeId Registry() const;

    NodeId Parent(NodeId node) const;
    NodeId FirstChild(NodeId node) const;
    NodeId LastChild(NodeId node) const;
    NodeId NextSibling(NodeId node) const;
    std::uint32_t ChildCount(NodeId node) const;
    // The children in insertion order.
    std::vector<NodeId> Children(NodeId node) const;
    // The children in the tree's order (sibling_order.h).
    std::vector<NodeId> SortedChildren(NodeId node, const platform::Collation& names) const;
    // Puts siblings given in insertion order into the tree's order (a
    // stable sort).
    void SortSiblings(std::vector<NodeId>& ids, const platform::Collation& names) const;
    // The node and everything below it, children before their parent and
    // siblings in the tree's order. Takes no stack however deep the tree.
    std::vector<NodeId> PostOrder(NodeId node, const platform::Collation& names) const;
    // 0 for the root, 1 for "File System" and "Registry", 2 for drives and
    // root keys, and so on.
    int Level(NodeId node) const;
    bool IsAlive(NodeId node) const;
    const TNodeData& Data(NodeId node) const;
    // The names of the node and of its ancestors below "File System" or
    // "Registry", joined by backslashes from the top ("C:\Windows\a.dll",
    // "HKEY_LOCAL_MACHINE\Software"); empty for the frame.
    std::string FullPath(NodeId node) const;
    // The first child whose name equals name ignoring case, or kNoNode.
    NodeId FindChild(NodeId parent, std::string_view name) const;
    // Nodes alive, frame included.
    std::size_t NodeCount() const { return tree_->alive_; }
    // Every node id handed out since the last clear is below this (a view
    // keeps per-node state in arrays of this size).
    NodeId IdLimit() const { return tree_->used_; }

    // The changes of this fill that the ignore lists hold, whether they are
    // shown or not.
    std::size_t HiddenCount() const { return tree_->hidden_; }
    // A change of the ignore lists, shown on request.
    bool IsIgnored(NodeId node) const;

    TCheckState CheckState(NodeId node) const;
    bool HasCheckBox(NodeId node) const { return CheckState(node) != TCheckState::None; }
    bool IsChecked(NodeId node) const { return CheckState(node) == TCheckState::Checked; }

    // Places one change record:
    // - drops it when the copied filter lists exclude it (its blocks stay
    //   with the caller);
    // - finds the parent through the placement cache, or walks the path's
    //   backslash-separated components from "Registry" (kinds 1 to 6) or
    //   "File System", descending into the first child of each name
    //   (ignoring case, whatever its kind) or appending a branch (kind 17
    //   for a two-character component ending in ':', else 18);
    // - appends a new leaf named name, taking over the record's blocks and
    //   Path; in uninstall mode the leaf gets a check box when its kind's
    //   setting is on, checked unless the leaf is activity (shared counters
    //   excepted: lowered as before), and every other leaf has no check box.
    void AddToTree(std::string_view path, std::string_view name, TNodeData&& rec);

    // Sets the node's state and spreads it by the rules of its kind. Nothing
    // happens for a node without a check box or already in that state.
    void SetChecked(NodeId node, bool checked);
    // SetChecked on the node (when it has a check box) and on every
    // descendant, in pre-order; a check never reaches a change of the
    // ignore lists below a node that is not one.
    void SetBranchChecked(NodeId node, bool checked);
    // The user's click on the node's box (or the space key): turns the check
    // over. A created folder or key that the user unchecks keeps everything
    // below it, so its whole branch is unchecked; any other change spreads
    // as SetChecked does. Nothing happens for a node without a check box.
    void ToggleByUser(NodeId node);
    // Deletes the node with all its descendants. Refuses (false) the frame
    // (level below 2) and nodes already removed.
    bool RemoveBranch(NodeId node);
    // Turns a leaf into another kind (moved-file detection).
    void SetKind(NodeId node, TChangeKind kind);
    // Changes who a leaf's change is attributed to; its check box stays.
    void SetActivity(NodeId node, TActivityReason reason);

    // Hands over how the shape changed since the last call and starts
    // listing anew. For the one view that shows the tree.
    TShapeChanges TakeShapeChanges();

private:
    friend class ChangesTree;
    explicit Access(ChangesTree& tree);
    const Node& Valid(NodeId node) const;

    ChangesTree* tree_;
    std::unique_lock<std::mutex> lock_;
};

}  // namespace kelvora
