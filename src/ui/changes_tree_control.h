// The changes tree on screen (tvChanges): the virtual tree control over the
// changes tree model, with the three columns, the 20 icons, the sibling
// order, check boxes whose clicks spread by the model's rules, and the
// text/hexadecimal rendering of binary values. Activity (changes the setup
// did not make) is greyed with its reason in a fourth column and the row's
// tooltip, and may be left out of view; it stays in the model either way.
//
// The model may be filled by a worker while it is shown: the model tells
// its observer (this control) from the worker's thread, which only posts a
// message; the rows follow on the window thread, coalesced, by splicing in
// the rows of the children added since (the model lists their parents) and
// ordering each parent's new children as they come.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "changes/cell_text.h"
#include "changes/changes_tree.h"
#include "platform/win32/collation_win.h"
#include "ui/framework/gdi.h"
#include "ui/framework/virtual_tree.h"

namespace kelvora::ui {

class ChangesTreeControl : private VirtualTreeSource, private IChangesTreeObserver {
public:
    // Siblings show in the tree's order (sibling_order.h) by names, the
    // user's collation unless told otherwise.
    explicit ChangesTreeControl(ChangesTree& model,
                                const platform::Collation& names = platform::win32::UserCollation());
    ~ChangesTreeControl() override;

    // Creates the control with its columns (captions translated now).
    bool Create(HWND parent, int id, RECT bounds);
    VirtualTree& Tree() { return tree_; }

    // Captions and cell words in the current language.
    void Translate();
    // The tree's font (ChangesTreeFont, ChangesTreeFontSize) in the
    // language's character set; the header takes a bold copy.
    void ApplyFont(const std::string& face, int points, BYTE charset);
    // The window moved to a screen of another dpi: fonts and icons follow.
    void SetDpi(UINT dpi, const std::string& face, int points, BYTE charset);
    // BinaryHexa: every binary cell at once.
    void SetBinaryHexa(bool hexa);
    bool BinaryHexa() const { return hexa_; }
    // HideActivity: leaves activity out of view, and the branches that hold
    // nothing else; nothing in the model changes, check boxes included.
    void SetHideActivity(bool hide);
    bool HideActivity() const { return hideActivity_; }

    // The model was cleared and its frame built anew (a new fill): forget
    // the rows, expansions and cached orders.
    void ModelReset();
    // The fill has ended (kinds may have changed: moved files): order
    // siblings anew and rebuild.
    void FillFinished();

    // The node of the focused row (kNoNode for none).
    NodeId FocusedNode() const;

private:
    // VirtualTreeSource
    std::size_t NodeCapacity() override;
    void Children(Node parent, std::vector<Node>& out) override;
    bool HasChildren(Node node) override;
    std::string Text(Node node, int column) override;
    int Image(Node node) override;
    CheckMark Check(Node node) override;
    bool Dimmed(Node node) override;
    std::string Remark(Node node) override;
    void ToggleCheck(Node node) override;
    void BeginRead() override;
    void EndRead() override;
    void Acknowledge() override;
    bool TakeGrown(std::vector<Node>& parents) override;
    // IChangesTreeObserver (any thread)
    void TreeChanged() override;

    // Runs fn with the model locked: the batch's lock when one is open,
    // else a lock of its own.
    template <class Fn>
    auto Read(Fn&& fn) {
        if (batch_) return fn(*batch_);
        auto access = model_.Lock();
        return fn(access);
    }
    const std::vector<NodeId>& SortedChildren(ChangesTree::Access& a, NodeId parent);
    // Drops the cached orders of removed nodes and those that lost children.
    void ForgetStaleOrders(ChangesTree::Access& a);
    // Whether a node is in view: always, unless activity is hidden; then the
    // frame, the setup's changes and whatever holds one of them below it.
    bool Shown(ChangesTree::Access& a, NodeId node);

    // A parent's children in display order, as of when it had count
    // children, the last appended being last.
    struct Order {
        std::uint32_t count = 0;
        NodeId last = kNoNode;
        std::vector<NodeId> sorted;
    };
    ChangesTree& model_;
    const platform::Collation& names_;
    VirtualTree tree_;
    Font font_;
    CellWords words_;
    bool hexa_ = false;
    bool hideActivity_ = false;
    // Shown's answers by node id while activity is hidden: 0 not yet known,
    // 1 shown, 2 hidden. Forgotten whenever the tree's shape changes.
    std::vector<std::uint8_t> shown_;
    UINT dpi_ = 0;  // 0: the window's own
    std::unordered_map<NodeId, Order> orders_;
    // The lock held while the control reads a batch (a rebuild, a paint).
    std::optional<ChangesTree::Access> batch_;
    int batchDepth_ = 0;
};

}  // namespace kelvora::ui
