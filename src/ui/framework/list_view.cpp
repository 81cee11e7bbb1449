#include "ui/framework/list_view.h"

#include <windowsx.h>

#include <algorithm>
#include <exception>

namespace kelvora::ui {

bool ListView::Create(HWND parent, int id, RECT bounds, DWORD extraStyle) {
    if (!CreateControl({parent, WC_LISTVIEWA, "", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | extraStyle,
                        WS_EX_CLIENTEDGE, id, bounds}))
        return false;
    ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    return true;
}

void ListView::AddColumn(std::string_view caption, int width, int format) {
    std::string text(caption);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.fmt = format;
    col.cx = width;
    col.pszText = text.data();
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_++), reinterpret_cast<LPARAM>(&col));
}

void ListView::SetColumnCaption(int column, std::string_view caption) {
    std::string text(caption);
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = text.data();
    SendMessageA(Handle(), LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
}

int ListView::ColumnWidth(int column) const { return ListView_GetColumnWidth(Handle(), column); }
void ListView::SetColumnWidth(int column, int width) { ListView_SetColumnWidth(Handle(), column, width); }

void ListView::FillColumn(int column, int minWidth) {
    RECT rc;
    GetClientRect(Handle(), &rc);
    int room = rc.right;
    for (int c = 0; c < Header_GetItemCount(ListView_GetHeader(Handle())); ++c) room -= c != column ? ColumnWidth(c) : 0;
    SetColumnWidth(column, std::max(minWidth, room));
}

int ListView::AddItem(const std::vector<std::string>& cells, LPARAM param, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = Count();
    item.lParam = param;
    item.iImage = image;
    std::string first = cells.empty() ? std::string() : cells[0];
    item.pszText = first.data();
    int index = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t c = 1; c < cells.size(); ++c) SetCell(index, static_cast<int>(c), cells[c]);
    return index;
}

void ListView::SetCell(int index, int column, std::string_view text) {
    std::string copy(text);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string ListView::Cell(int index, int column) const {
    // The list view tells no text's length: grow the buffer until the text
    // leaves room to spare.
    for (std::size_t size = 1024;; size *= 4) {
        std::string text(size, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        auto n = static_cast<std::size_t>(
            SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (n + 1 < size || size >= (1u << 24)) {
            text.resize(std::min(n, size));
            return text;
        }
    }
}

LPARAM ListView::ItemParam(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int ListView::SelectedIndex() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::Select(int index) {
    ListView_SetItemState(Handle(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Handle(), index, FALSE);
}

void ListView::SortBy(int column, bool ascending) {
    sortColumn_ = column;
    sortAscending_ = ascending;
    ShowSortArrow();
    if (!compare_) return;
    // LVM_SORTITEMS hands the comparison the item params. An exception must
    // not cross the list view's own code: the first one is kept, the sort
    // runs out with "equal", and the exception goes on from here.
    struct Sort {
        ListView* view;
        std::exception_ptr failure;
    } sort{this, nullptr};
    auto callback = [](LPARAM a, LPARAM b, LPARAM param) -> int {
        auto* s = reinterpret_cast<Sort*>(param);
        if (s->failure) return 0;
        try {
            int r = s->view->compare_(a, b, s->view->sortColumn_);
            return s->view->sortAscending_ ? r : (r < 0) - (r > 0);  // no overflow on INT_MIN
        } catch (...) {
            s->failure = std::current_exception();
            return 0;
        }
    };
    SendMessageA(Handle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort),
                 reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(callback)));
    if (sort.failure) std::rethrow_exception(sort.failure);
}

void ListView::ShowSortArrow() {
    HWND header = ListView_GetHeader(Handle());
    int count = Header_GetItemCount(header);
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sortColumn_) item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT ListView::OnNotify(NMHDR* nm) {
    switch (nm->code) {
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem;
        SortBy(column, column == sortColumn_ ? !sortAscending_ : true);
        break;
    }
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(nm);
        // Moving the selection unselects the old row, then selects the new
        // one: two notifications for one change. Report them together, once
        // the list view is done.
        if ((change->uChanged & LVIF_STATE) != 0 && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) != 0 &&
            !selectionPosted_)
            selectionPosted_ = PostMessageA(Handle(), kSelectionChangedMessage, 0, 0) != FALSE;
        break;
    }
    case NM_DBLCLK:
        if (OnDoubleClick) OnDoubleClick();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT ListView::OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kSelectionChangedMessage) {
        selectionPosted_ = false;
        if (OnSelectionChange) OnSelectionChange();
        return 0;
    }
    // A right click and the menu key both end in WM_CONTEXTMENU; from the
    // keyboard it comes at (-1, -1) and the menu opens at the focused row.
    // The header's own (wp is the header) goes on to the parent.
    if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wp) == Handle() && OnContextMenu) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (pt.x == -1 && pt.y == -1) {
            int item = static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (item < 0) item = SelectedIndex();
            RECT rc{LVIR_LABEL};
            if (item < 0 || !SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rc)))
                rc = {0, 0, 0, 0};
            pt = {rc.left + 4, (rc.top + rc.bottom) / 2};
            ClientToScreen(Handle(), &pt);
        }
        OnContextMenu(pt);
        return 0;
    }
    return CallDefault(msg, wp, lp);
}

}  // namespace kelvora::ui
