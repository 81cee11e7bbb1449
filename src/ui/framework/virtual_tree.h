// A tree with columns that holds no item per node: a report list view in
// owner-data mode over the flat list of the rows in view. Expanding a node
// inserts the rows of its children; every cell is asked from the source
// when it is painted. Column 0 (lines, expand buttons, check boxes, icon,
// text) is drawn here; the other columns are the list view's.
//
// Only the window thread uses the control and its source. A source that
// others change (a worker filling the model) calls SourceChanged on the
// window thread; the rows are brought up to date soon after, coalesced, and
// when the source tells which nodes got new children only their rows are
// read (virtual_tree_splice.cpp).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/framework/control.h"
#include "ui/framework/gdi.h"

namespace kelvora::ui {

enum class CheckMark : std::uint8_t { None, Unchecked, Checked };

class VirtualTreeSource {
public:
    using Node = std::uint32_t;
    static constexpr Node kNone = 0xFFFFFFFFu;

    virtual ~VirtualTreeSource() = default;
    // Node ids are below this number (the control keeps per-node state).
    virtual std::size_t NodeCapacity() = 0;
    // The children of parent in display order (kNone: the top level).
    virtual void Children(Node parent, std::vector<Node>& out) = 0;
    virtual bool HasChildren(Node node) = 0;
    virtual std::string Text(Node node, int column) = 0;
    virtual int Image(Node node) = 0;  // -1 for none
    virtual CheckMark Check(Node node) = 0;
    // A row drawn in the system's grey text colour (still usable).
    virtual bool Dimmed(Node node) {
        (void)node;
        return false;
    }
    // What the row's tooltip says besides a cell's text that does not fit
    // (empty: nothing).
    virtual std::string Remark(Node node) {
        (void)node;
        return {};
    }
    // The user clicked the node's check box (or pressed Space on it).
    virtual void ToggleCheck(Node node) = 0;
    // Bracket a batch of the calls above (a rebuild, a paint): a source
    // guarded by a lock takes it once for the batch. Batches nest.
    virtual void BeginRead() {}
    virtual void EndRead() {}
    // The control got PostSourceChanged's message and is about to rebuild.
    virtual void Acknowledge() {}
    // Within a batch, as the rows are brought up to date: the nodes that got
    // new children since the last call, when appending children (after
    // their siblings in insertion order) is all that changed; false when the
    // rows must be built anew (or the source cannot tell).
    virtual bool TakeGrown(std::vector<Node>& parents) {
        (void)parents;
        return false;
    }
};

class VirtualTree : public Control {
public:
    using Node = VirtualTreeSource::Node;

    bool Create(HWND parent, int id, RECT bounds);
    // The source must outlive the control or be replaced first.
    void SetSource(VirtualTreeSource* source);
    // The images of column 0 (small icons); the control owns them.
    void SetImages(ImageList images);
    void SetTreeFont(HFONT font);  // the header takes a bold copy

    // Columns left to right; the last one takes the width that remains.
    void AddColumn(std::string_view caption, int width, int minWidth);
    void SetColumnCaption(int column, std::string_view caption);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // Gives every column but the last the width that shows its caption and
    // its texts whole, as far as the first maxNodes nodes of the source in
    // display order show them with every node expanded. Of the width beyond
    // the last column's minimum the first may take what the others do not
    // need, and half of it in any case; the others, the last among them,
    // share the rest (virtual_tree_fit.cpp). Until the user sets a width, a
    // resize shares the new width by the same rule.
    void FitColumnsToContent(std::size_t maxNodes);

    // The source's nodes changed: rebuild the rows soon (coalesced).
    void SourceChanged();
    // The same from any thread: posts the control a message.
    void PostSourceChanged() const noexcept;
    static constexpr UINT kSourceChangedMessage = WM_APP + 3;
    // Rebuilds the rows now, keeping the expansion, the focus, the row under
    // the mouse and the scroll position of nodes still present.
    void Rebuild();
    // The same, but when the source lists the nodes that got children, only
    // their new rows are read and spliced in (what SourceChanged leads to).
    // True when they were.
    bool Refresh();
    // Forgets every expansion (the source was cleared) and rebuilds.
    void Reset();
    // Repaints every cell (texts changed, not the shape).
    void Repaint() { InvalidateRect(Handle(), nullptr, FALSE); }

    bool IsExpanded(Node node) const;
    void SetExpanded(Node node, bool expanded);
    void ExpandAll();
    void CollapseAll();
    // Expands every node in the subtree of node, node included.
    void ExpandBranch(Node node);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    Node RowNode(int row) const { return rows_[static_cast<std::size_t>(row)].node; }
    int RowLevel(int row) const { return rows_[static_cast<std::size_t>(row)].level; }
    // How column 0 draws a row: an expand button, the last of its siblings,
    // and bit l set when the ancestor at level l has later siblings.
    bool RowHasChildren(int row) const { return (rows_[static_cast<std::size_t>(row)].flags & kHasChildren) != 0; }
    bool RowIsLastSibling(int row) const { return (rows_[static_cast<std::size_t>(row)].flags & kLastSibling) != 0; }
    std::uint64_t RowLines(int row) const { return rows_[static_cast<std::size_t>(row)].lines; }
    int RowOf(Node node) const;  // -1 when not in view
    int FocusedRow() const;
    Node FocusedNode() const;  // kNone when none
    void SetFocusedRow(int row);
    int TopRow() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0)); }

    std::function<void(POINT screen)> OnContextMenu;
    // After the user set a column's width (dragged or double-clicked a
    // divider of the header).
    std::function<void()> OnColumnsResized;
    std::function<void()> OnFocusChange;
    // After a check box changed by the user.
    std::function<void(Node)> OnChecked;

    // Where column 0 draws a row's parts, in pixels from the cell's left.
    struct CellParts {
        int button;  // left of the expand button
        int check;   // left of the check box (-1: none)
        int image;   // left of the icon (-1: none)
        int text;    // left of the text
    };
    CellParts PartsOf(int row) const;

protected:
    LRESULT OnNotify(NMHDR* nm) override;
    LRESULT OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Row {
        Node node;
        std::uint16_t level;
        std::uint8_t flags;
        std::uint64_t lines;  // bit l: the ancestor at level l has later siblings
    };
    static constexpr std::uint8_t kHasChildren = 1;
    static constexpr std::uint8_t kLastSibling = 2;
    static constexpr int kMaxLineLevels = 64;  // deeper rows draw no ancestor lines

    // Holds a source batch for its lifetime.
    class ReadScope {
    public:
        explicit ReadScope(VirtualTreeSource* source) : source_(source) {
            if (source_ != nullptr) source_->BeginRead();
        }
        ~ReadScope() {
            if (source_ != nullptr) source_->EndRead();
        }
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        VirtualTreeSource* source_;
    };

    class Splicer;

    // Brings the rows up to date, spliced when allowed and possible.
    bool Update(bool splice);
    bool BuildRows(bool splice);
    void AppendSubtree(Node parent, int level, std::uint64_t lines);
    // Splices the new rows below the source's grown nodes and below rows
    // opened since; false when the rows turn out not to match the source.
    bool SpliceGrown();
    void ApplyRowCount();
    void ToggleExpanded(int row);
    void ToggleCheck(int row);
    // The row and column under a client point; false when none.
    bool HitTest(POINT pt, int& row, int& column) const;
    int CellLeft(int row) const;
    int Indent() const { return iconSize_ + 3; }
    void FitLastColumn();
    void ShareColumns();
    void SetHotRow(int row);
    void UpdateTip(POINT pt);

    // The messages the list view gets (OnSubclassMessage), by kind; a
    // handler's true means the message is done with.
    bool OnMouse(UINT msg, POINT pt);
    // Whether the client x lies on the row's expand button or check box.
    bool OnExpandButton(int row, int x) const;
    bool OnCheckBox(int row, int x) const;
    // WM_CONTEXTMENU: at the mouse, or from the keyboard below the focused row.
    void ShowContextMenu(LPARAM lp);
    bool OnKeyDown(WPARAM key);
    // WM_SIZE: the columns follow a new width.
    LRESULT OnSize(WPARAM wp, LPARAM lp);
    // The tooltip's text for the cell under the mouse.
    void FillTip(NMTTDISPINFOA* info);
    // The header's notifications: the columns' smallest widths and the
    // user's widths.
    LRESULT OnHeaderNotify(WPARAM wp, NMHEADERA* h);

    LRESULT CustomDraw(NMLVCUSTOMDRAW* cd);
    void DrawCell0(HDC dc, int row, const RECT& cell, bool selected);
    void DrawLines(HDC dc, const Row& r, const RECT& cell) const;
    void FillDispInfo(NMLVDISPINFOA* info);

    VirtualTreeSource* source_ = nullptr;
    std::vector<Row> rows_;
    std::vector<std::uint8_t> expanded_;  // by node id
    // AppendSubtree's lists, one per level; a deque keeps each list in place
    // while deeper levels are added.
    std::deque<std::vector<Node>> levelChildren_;
    // A splice's scratch: the nodes that got children, a mark per node id
    // for them, and the rows as they were.
    std::vector<Node> grown_;
    std::vector<std::uint8_t> touched_;
    std::vector<Row> oldRows_;
    std::vector<int> minWidths_;
    // What each column but the last needs to show its texts whole, as the
    // last fit measured; empty once the user (or the settings) set widths.
    std::vector<int> fittedNeed_;
    int sharedWidth_ = -1;  // the client width the columns were last shared for
    int lastWidth_ = 0;  // the width asked for the last column before it filled the rest
    ImageList images_;
    Brush dots_;  // a checkerboard: dotted tree lines
    Font headerFont_;
    HFONT treeFont_ = nullptr;
    HWND tip_ = nullptr;
    int tipRow_ = -1;
    int tipColumn_ = -1;
    std::string tipText_;
    int hotRow_ = -1;
    int iconSize_ = 16;
    bool rebuildPending_ = false;
    bool fitting_ = false;
};

}  // namespace kelvora::ui
