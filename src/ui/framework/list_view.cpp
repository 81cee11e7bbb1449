#include "ui/framework/list_view.h"

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
    std::string text(1024, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    auto n = SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<std::size_t>(n));
    return text;
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
    sort_column_ = column;
    sort_ascending_ = ascending;
    if (compare_) {
        // LVM_SORTITEMS hands the comparison the item params.
        auto callback = [](LPARAM a, LPARAM b, LPARAM self) -> int {
            auto* view = reinterpret_cast<ListView*>(self);
            int r = view->compare_(a, b, view->sort_column_);
            return view->sort_ascending_ ? r : -r;
        };
        SendMessageA(Handle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                     reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(callback)));
    }
    ShowSortArrow();
}

void ListView::ShowSortArrow() {
    HWND header = ListView_GetHeader(Handle());
    int count = Header_GetItemCount(header);
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sort_column_) item.fmt |= sort_ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

LRESULT ListView::OnNotify(NMHDR* nm) {
    switch (nm->code) {
    case LVN_COLUMNCLICK: {
        int column = reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem;
        SortBy(column, column == sort_column_ ? !sort_ascending_ : true);
        break;
    }
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(nm);
        if ((change->uChanged & LVIF_STATE) != 0 && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED) != 0 &&
            OnSelectionChange)
            OnSelectionChange();
        break;
    }
    case NM_DBLCLK:
        if (OnDoubleClick) OnDoubleClick();
        break;
    case NM_RCLICK:
        if (OnContextMenu) {
            POINT pt;
            GetCursorPos(&pt);
            OnContextMenu(pt);
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace kelvora::ui
