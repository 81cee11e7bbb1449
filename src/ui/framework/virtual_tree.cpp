#include "ui/framework/virtual_tree.h"

#include <algorithm>

#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {
constexpr UINT_PTR kRebuildTimer = 0x4B52;  // far from the list view's own timer ids
constexpr UINT kRebuildDelayMs = 60;
}  // namespace

bool VirtualTree::Create(HWND parent, int id, RECT bounds) {
    if (!CreateControl({parent, WC_LISTVIEWA, "",
                        WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                        WS_EX_CLIENTEDGE, id, bounds}))
        return false;
    ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    UINT dpi = GetDpiForWindow(Handle());
    iconSize_ = MulDiv(16, dpi != 0 ? static_cast<int>(dpi) : 96, 96);

    // One tool over the whole client area; its text is asked for the cell
    // under the mouse (TTN_GETDISPINFO) and is empty when the cell's text fits.
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                           0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tip_ != nullptr) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT;
        tool.hwnd = Handle();
        tool.uId = 1;
        tool.rect = {0, 0, 0x7FFF, 0x7FFF};
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, 800);
    }
    return true;
}

void VirtualTree::SetSource(VirtualTreeSource* source) {
    source_ = source;
    Reset();
}

void VirtualTree::SetImages(ImageList images) {
    images_ = std::move(images);
    int cx = iconSize_, cy = iconSize_;
    if (images_) ImageList_GetIconSize(images_.Get(), &cx, &cy);
    iconSize_ = cx;
    // The small image list gives the rows their height; column 0 draws the
    // images itself.
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
}

void VirtualTree::SetTreeFont(HFONT font) {
    treeFont_ = font;
    SetFont(font);
    LOGFONTA lf{};
    if (GetObjectA(font, sizeof(lf), &lf) != 0) {
        lf.lfWeight = FW_BOLD;
        headerFont_.Reset(CreateFontIndirectA(&lf));
        SendMessageA(ListView_GetHeader(Handle()), WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.Get()), TRUE);
    }
}

void VirtualTree::AddColumn(std::string_view caption, int width, int minWidth) {
    const int previous = static_cast<int>(minWidths_.size()) - 1;
    const int previousWidth = lastWidth_;
    lastWidth_ = std::max(width, minWidth);
    std::string text(caption);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = LVCFMT_LEFT;
    col.cx = lastWidth_;
    col.pszText = text.data();
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, minWidths_.size(), reinterpret_cast<LPARAM>(&col));
    minWidths_.push_back(minWidth);
    // The column that was last gave up filling the rest: back to its width.
    // Only now: inserting a column lays the header out again, which gives
    // a column set before it the width the header last knew.
    if (previous >= 0) ListView_SetColumnWidth(Handle(), previous, previousWidth);
    FitLastColumn();
}

void VirtualTree::SetColumnCaption(int column, std::string_view caption) {
    std::string text(caption);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = text.data();
    SendMessageA(Handle(), LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

int VirtualTree::ColumnWidth(int column) const { return ListView_GetColumnWidth(Handle(), column); }

void VirtualTree::SetColumnWidth(int column, int width) {
    fittedNeed_.clear();
    ListView_SetColumnWidth(Handle(), column, std::max(width, minWidths_[static_cast<std::size_t>(column)]));
    FitLastColumn();
}

void VirtualTree::FitLastColumn() {
    if (minWidths_.empty() || fitting_) return;
    fitting_ = true;
    RECT rc;
    GetClientRect(Handle(), &rc);
    int last = static_cast<int>(minWidths_.size()) - 1;
    int used = 0;
    for (int c = 0; c < last; ++c) used += ColumnWidth(c);
    ListView_SetColumnWidth(Handle(), last, std::max(minWidths_.back(), static_cast<int>(rc.right) - used));
    fitting_ = false;
}

// ---------------------------------------------------------------- rows

void VirtualTree::AppendSubtree(Node parent, int level, std::uint64_t lines) {
    // One list of children per level, reused: the recursion below only
    // touches deeper levels' lists.
    if (levelChildren_.size() <= static_cast<std::size_t>(level)) levelChildren_.resize(static_cast<std::size_t>(level) + 1);
    std::vector<Node>& children = levelChildren_[static_cast<std::size_t>(level)];
    children.clear();
    source_->Children(parent, children);
    for (std::size_t i = 0; i < children.size(); ++i) {
        Node node = children[i];
        bool last = i + 1 == children.size();
        bool has = source_->HasChildren(node);
        std::uint8_t flags = static_cast<std::uint8_t>((has ? kHasChildren : 0) | (last ? kLastSibling : 0));
        rows_.push_back({node, static_cast<std::uint16_t>(level), flags, lines});
        if (has && node < expanded_.size() && expanded_[node] != 0) {
            std::uint64_t below = lines;
            if (!last && level < kMaxLineLevels) below |= std::uint64_t{1} << level;
            AppendSubtree(node, level + 1, below);
        }
    }
}

bool VirtualTree::BuildRows(bool splice) {
    if (source_ == nullptr) {
        rows_.clear();
        return false;
    }
    ReadScope read(source_);
    std::size_t capacity = source_->NodeCapacity();
    if (expanded_.size() < capacity) expanded_.resize(capacity, 0);
    // Asked on every build, so the next splice starts from these rows.
    grown_.clear();
    bool listed = source_->TakeGrown(grown_);
    if (splice && listed && SpliceGrown()) return true;
    rows_.clear();
    AppendSubtree(VirtualTreeSource::kNone, 0, 0);
    return false;
}

void VirtualTree::ApplyRowCount() {
    // Keep what the list view shows in step with the rows without letting
    // it scroll or repaint everything on its own.
    SendMessageA(Handle(), LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void VirtualTree::Rebuild() { Update(false); }

bool VirtualTree::Refresh() { return Update(true); }

bool VirtualTree::Update(bool splice) {
    rebuildPending_ = false;
    KillTimer(Handle(), kRebuildTimer);
    Node focus = FocusedNode();
    int old_top = TopRow();
    Node top = old_top >= 0 && old_top < RowCount() ? RowNode(old_top) : VirtualTreeSource::kNone;
    Node hot = hotRow_ >= 0 && hotRow_ < RowCount() ? RowNode(hotRow_) : VirtualTreeSource::kNone;
    bool spliced = BuildRows(splice);
    ApplyRowCount();
    hotRow_ = hot != VirtualTreeSource::kNone ? RowOf(hot) : -1;
    int new_focus = focus != VirtualTreeSource::kNone ? RowOf(focus) : -1;
    int new_top = top != VirtualTreeSource::kNone ? RowOf(top) : -1;
    if (new_top >= 0 && new_top != TopRow()) {
        RECT item{LVIR_BOUNDS};
        if (SendMessageA(Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)))
            SendMessageA(Handle(), LVM_SCROLL, 0, (new_top - TopRow()) * (item.bottom - item.top));
    }
    int old_focus = FocusedRow();
    if (new_focus != old_focus) {
        ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (new_focus >= 0) {
            ListView_SetItemState(Handle(), new_focus, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            SendMessageA(Handle(), LVM_SETSELECTIONMARK, 0, new_focus);
        }
    }
    return spliced;
}

void VirtualTree::PostSourceChanged() const noexcept {
    if (Handle() != nullptr) PostMessageA(Handle(), kSourceChangedMessage, 0, 0);
}

void VirtualTree::SourceChanged() {
    if (rebuildPending_) return;
    rebuildPending_ = true;
    SetTimer(Handle(), kRebuildTimer, kRebuildDelayMs, nullptr);
}

void VirtualTree::Reset() {
    std::fill(expanded_.begin(), expanded_.end(), 0);
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    hotRow_ = -1;
    BuildRows(false);
    ApplyRowCount();
}

int VirtualTree::RowOf(Node node) const {
    auto it = std::find_if(rows_.begin(), rows_.end(), [node](const Row& r) { return r.node == node; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

int VirtualTree::FocusedRow() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

VirtualTree::Node VirtualTree::FocusedNode() const {
    int row = FocusedRow();
    return row >= 0 && row < RowCount() ? RowNode(row) : VirtualTreeSource::kNone;
}

void VirtualTree::SetFocusedRow(int row) {
    if (row == FocusedRow() &&
        ListView_GetItemState(Handle(), row, LVIS_SELECTED) != 0)
        return;
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0 || row >= RowCount()) return;
    ListView_SetItemState(Handle(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(Handle(), LVM_SETSELECTIONMARK, 0, row);
    ListView_EnsureVisible(Handle(), row, FALSE);
}

// ---------------------------------------------------------------- expansion

bool VirtualTree::IsExpanded(Node node) const { return node < expanded_.size() && expanded_[node] != 0; }

void VirtualTree::SetExpanded(Node node, bool expanded) {
    if (source_ == nullptr || IsExpanded(node) == expanded) return;
    if (expanded_.size() <= node) expanded_.resize(std::max<std::size_t>(source_->NodeCapacity(), node + 1), 0);
    expanded_[node] = expanded ? 1 : 0;
    int row = RowOf(node);
    if (row < 0) return;  // not in view: shows when its parent opens
    ReadScope read(source_);
    // Only the rows below the node change: splice them in or out.
    const Row r = rows_[static_cast<std::size_t>(row)];
    auto first = rows_.begin() + row + 1;
    auto end = std::find_if(first, rows_.end(), [&](const Row& x) { return x.level <= r.level; });
    rows_.erase(first, end);
    if (expanded && (r.flags & kHasChildren) != 0) {
        std::vector<Row> tail(rows_.begin() + row + 1, rows_.end());
        rows_.resize(static_cast<std::size_t>(row) + 1);
        std::uint64_t below = r.lines;
        if ((r.flags & kLastSibling) == 0 && r.level < kMaxLineLevels) below |= std::uint64_t{1} << r.level;
        AppendSubtree(node, r.level + 1, below);
        rows_.insert(rows_.end(), tail.begin(), tail.end());
    }
    ApplyRowCount();
}

void VirtualTree::ToggleExpanded(int row) {
    if (row < 0 || row >= RowCount()) return;
    if ((rows_[static_cast<std::size_t>(row)].flags & kHasChildren) == 0) return;
    Node node = RowNode(row);
    SetExpanded(node, !IsExpanded(node));
}

void VirtualTree::ExpandAll() {
    if (source_ == nullptr) return;
    // Only nodes with children: a leaf that gets children later shows
    // them collapsed.
    ReadScope read(source_);
    std::size_t capacity = source_->NodeCapacity();
    expanded_.assign(capacity, 0);
    for (Node n = 0; n < capacity; ++n) expanded_[n] = source_->HasChildren(n) ? 1 : 0;
    // Rows that now open are spliced like new children.
    Refresh();
}

void VirtualTree::CollapseAll() {
    std::fill(expanded_.begin(), expanded_.end(), 0);
    Rebuild();
}

void VirtualTree::ExpandBranch(Node node) {
    if (source_ == nullptr) return;
    ReadScope read(source_);
    if (expanded_.size() < source_->NodeCapacity()) expanded_.resize(source_->NodeCapacity(), 0);
    std::vector<Node> stack{node};
    std::vector<Node> children;
    while (!stack.empty()) {
        Node n = stack.back();
        stack.pop_back();
        if (n < expanded_.size()) expanded_[n] = 1;
        children.clear();
        source_->Children(n, children);
        for (Node c : children)
            if (source_->HasChildren(c)) stack.push_back(c);
    }
    Refresh();
}

void VirtualTree::ToggleCheck(int row) {
    if (source_ == nullptr || row < 0 || row >= RowCount()) return;
    Node node = RowNode(row);
    {
        ReadScope read(source_);
        if (source_->Check(node) == CheckMark::None) return;
        source_->ToggleCheck(node);
    }
    Repaint();  // the change may have spread to other rows
    if (OnChecked) OnChecked(node);
}

// ---------------------------------------------------------------- input

bool VirtualTree::HitTest(POINT pt, int& row, int& column) const {
    LVHITTESTINFO hit{};
    hit.pt = pt;
    if (SendMessageA(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0 ||
        hit.iItem >= RowCount())
        return false;
    row = hit.iItem;
    column = hit.iSubItem;
    return true;
}

int VirtualTree::CellLeft(int row) const {
    RECT rc{LVIR_BOUNDS};
    SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rc));
    return rc.left;
}

VirtualTree::CellParts VirtualTree::PartsOf(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    CellParts p{};
    p.button = r.level * Indent();
    int x = p.button + Indent();
    bool check = source_ != nullptr && source_->Check(r.node) != CheckMark::None;
    p.check = check ? x : -1;
    if (check) x += iconSize_ + 2;
    p.image = x;
    p.text = x + iconSize_ + 3;
    return p;
}

void VirtualTree::SetHotRow(int row) {
    if (row == hotRow_) return;
    auto invalidate = [this](int r) {
        if (r < 0 || r >= RowCount()) return;
        RECT rc{LVIR_BOUNDS};
        if (SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&rc)))
            InvalidateRect(Handle(), &rc, FALSE);
    };
    invalidate(hotRow_);
    hotRow_ = row;
    invalidate(hotRow_);
}

void VirtualTree::UpdateTip(POINT pt) {
    int row = -1, column = -1;
    if (!HitTest(pt, row, column)) row = column = -1;
    if (row == tipRow_ && column == tipColumn_) return;
    tipRow_ = row;
    tipColumn_ = column;
    // Hide the old cell's tip; the tooltip asks for the new cell's text when
    // the mouse rests again.
    if (tip_ != nullptr) SendMessageA(tip_, TTM_POP, 0, 0);
}

LRESULT VirtualTree::OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
        if (OnMouse(msg, {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))})) return 0;
        break;
    case WM_CONTEXTMENU:
        ShowContextMenu(lp);
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(wp)) return 0;
        break;
    case WM_CHAR:
        // These keys act in WM_KEYDOWN; the list view would search for them.
        if (wp == ' ' || wp == '+' || wp == '-' || wp == '*') return 0;
        break;
    case kSourceChangedMessage:
        if (source_ != nullptr) source_->Acknowledge();
        SourceChanged();
        return 0;
    case WM_TIMER:
        if (wp == kRebuildTimer) {
            Refresh();
            return 0;
        }
        break;
    case WM_SIZE:
        return OnSize(wp, lp);
    case WM_NOTIFY: {
        auto* nm = reinterpret_cast<NMHDR*>(lp);
        if (nm->hwndFrom == tip_ && nm->code == TTN_GETDISPINFOA) {
            FillTip(reinterpret_cast<NMTTDISPINFOA*>(lp));
            return 0;
        }
        if (nm->hwndFrom == ListView_GetHeader(Handle())) return OnHeaderNotify(wp, reinterpret_cast<NMHEADERA*>(lp));
        break;
    }
    default:
        break;
    }
    return CallDefault(msg, wp, lp);
}

LRESULT VirtualTree::OnSize(WPARAM wp, LPARAM lp) {
    const LRESULT r = CallDefault(WM_SIZE, wp, lp);
    // Only a new width is shared again: a horizontal scroll bar that comes
    // while the user drags a divider changes the height alone.
    RECT rc;
    GetClientRect(Handle(), &rc);
    if (!fittedNeed_.empty() && rc.right != sharedWidth_) ShareColumns();
    else FitLastColumn();
    return r;
}

bool VirtualTree::OnMouse(UINT msg, POINT pt) {
    int row = -1, column = -1;
    switch (msg) {
    case WM_LBUTTONDOWN: {
        if (!HitTest(pt, row, column) || column != 0) return false;
        const bool onButton = OnExpandButton(row, pt.x), onCheck = OnCheckBox(row, pt.x);
        if (!onButton && !onCheck) return false;
        SetFocus(Handle());
        SetFocusedRow(row);
        if (onButton) ToggleExpanded(row);
        else ToggleCheck(row);
        return true;
    }
    case WM_LBUTTONDBLCLK:
        if (!HitTest(pt, row, column)) return false;
        SetFocusedRow(row);
        // A quick second click on a check box is a second click, not an
        // expansion.
        if (column == 0 && OnCheckBox(row, pt.x)) ToggleCheck(row);
        else ToggleExpanded(row);
        return true;
    case WM_RBUTTONDOWN:
        // A right click selects the row under the mouse; the menu follows on
        // the button's release.
        SetFocus(Handle());
        if (HitTest(pt, row, column)) SetFocusedRow(row);
        return true;
    case WM_RBUTTONUP:
        if (OnContextMenu) {
            ClientToScreen(Handle(), &pt);
            OnContextMenu(pt);
        }
        return true;
    case WM_MOUSEMOVE: {
        SetHotRow(HitTest(pt, row, column) ? row : -1);
        UpdateTip(pt);
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        TrackMouseEvent(&track);
        return false;
    }
    default:  // WM_MOUSELEAVE
        SetHotRow(-1);
        return false;
    }
}

bool VirtualTree::OnExpandButton(int row, int x) const {
    const int at = x - CellLeft(row), button = PartsOf(row).button;
    return (rows_[static_cast<std::size_t>(row)].flags & kHasChildren) != 0 && at >= button && at < button + Indent();
}

bool VirtualTree::OnCheckBox(int row, int x) const {
    const int at = x - CellLeft(row), check = PartsOf(row).check;
    return check >= 0 && at >= check && at < check + iconSize_;
}

void VirtualTree::ShowContextMenu(LPARAM lp) {
    if (!OnContextMenu) return;
    POINT screen{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (lp == -1) {  // from the keyboard: below the focused row
        RECT rc{LVIR_LABEL};
        int focused = FocusedRow();
        if (focused < 0 ||
            !SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&rc)))
            rc = {0, 0, 0, 0};
        screen = {rc.left + 8, rc.bottom};
        ClientToScreen(Handle(), &screen);
    }
    OnContextMenu(screen);
}

bool VirtualTree::OnKeyDown(WPARAM key) {
    const int focused = FocusedRow();
    if (focused < 0) return false;
    const Node node = RowNode(focused);
    const Row& r = rows_[static_cast<std::size_t>(focused)];
    switch (key) {
    case VK_LEFT:
        if (IsExpanded(node) && (r.flags & kHasChildren) != 0) {
            SetExpanded(node, false);
        } else {
            int parent = focused - 1;
            while (parent >= 0 && rows_[static_cast<std::size_t>(parent)].level >= r.level) --parent;
            if (parent >= 0) SetFocusedRow(parent);
        }
        return true;
    case VK_RIGHT:
        if ((r.flags & kHasChildren) == 0) return true;
        if (!IsExpanded(node)) SetExpanded(node, true);
        else if (focused + 1 < RowCount()) SetFocusedRow(focused + 1);
        return true;
    case VK_ADD:
    case VK_SUBTRACT:
        SetExpanded(node, key == VK_ADD);
        return true;
    case VK_MULTIPLY:
        ExpandBranch(node);
        return true;
    case VK_SPACE:
        ToggleCheck(focused);
        return true;
    default:
        return false;
    }
}

void VirtualTree::FillTip(NMTTDISPINFOA* info) {
    tipText_.clear();
    if (source_ != nullptr && tipRow_ >= 0 && tipRow_ < RowCount()) {
        ReadScope read(source_);
        std::string text = source_->Text(RowNode(tipRow_), tipColumn_);
        HDC dc = GetDC(Handle());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
        SIZE size{};
        const std::wstring wide = WideText(text);
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
        int room = ColumnWidth(tipColumn_) - 12 - (tipColumn_ == 0 ? PartsOf(tipRow_).text : 0);
        if (size.cx > room) tipText_ = text;
        // A remark on the row (why it is greyed) shows over every cell,
        // after the text that did not fit.
        std::string remark = source_->Remark(RowNode(tipRow_));
        if (!remark.empty() && remark != text) {
            if (!tipText_.empty()) tipText_ += "\n";
            tipText_ += remark;
        }
    }
    info->lpszText = tipText_.data();
}

LRESULT VirtualTree::OnHeaderNotify(WPARAM wp, NMHEADERA* h) {
    // HDITEMA and HDITEMW agree on mask and cxy.
    const UINT code = h->hdr.code;
    const int column = h->iItem;
    const bool known = column >= 0 && column < static_cast<int>(minWidths_.size());
    if (code == HDN_ITEMCHANGINGA || code == HDN_ITEMCHANGINGW) {
        if (h->pitem != nullptr && (h->pitem->mask & HDI_WIDTH) != 0 && known)
            h->pitem->cxy = std::max(h->pitem->cxy, minWidths_[static_cast<std::size_t>(column)]);
    } else if (code == HDN_BEGINTRACKA || code == HDN_BEGINTRACKW) {
        fittedNeed_.clear();  // the user's widths from now on
    }
    const LRESULT r = CallDefault(WM_NOTIFY, wp, reinterpret_cast<LPARAM>(h));
    if (code == HDN_ENDTRACKA || code == HDN_ENDTRACKW || code == HDN_DIVIDERDBLCLICKA ||
        code == HDN_DIVIDERDBLCLICKW) {
        fittedNeed_.clear();
        if (OnColumnsResized) OnColumnsResized();
    } else if ((code == HDN_ITEMCHANGEDA || code == HDN_ITEMCHANGEDW) && !fitting_ && known) {
        if (ColumnWidth(column) < minWidths_[static_cast<std::size_t>(column)])
            ListView_SetColumnWidth(Handle(), column, minWidths_[static_cast<std::size_t>(column)]);
        if (column + 1 < static_cast<int>(minWidths_.size())) FitLastColumn();
    }
    return r;
}

LRESULT VirtualTree::OnNotify(NMHDR* nm) {
    switch (nm->code) {
    case LVN_GETDISPINFOA:
        FillDispInfo(reinterpret_cast<NMLVDISPINFOA*>(nm));
        return 0;
    case NM_CUSTOMDRAW:
        return CustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(nm));
    case LVN_ITEMCHANGED:
        if ((reinterpret_cast<NMLISTVIEW*>(nm)->uChanged & LVIF_STATE) != 0 && OnFocusChange) OnFocusChange();
        return 0;
    case LVN_ODFINDITEMA:
        return -1;  // no type-ahead search over a million rows
    default:
        return 0;
    }
}

}  // namespace kelvora::ui
