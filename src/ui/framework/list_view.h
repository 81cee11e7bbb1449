// A report-style list view with columns that sort on a header click and
// show the sort direction as an arrow in the header.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/framework/control.h"

namespace kelvora::ui {

class ListView : public Control {
public:
    bool Create(HWND parent, int id, RECT bounds, DWORD extraStyle = LVS_SINGLESEL);
    // Columns are added left to right.
    void AddColumn(std::string_view caption, int width, int format = LVCFMT_LEFT);
    void SetColumnCaption(int column, std::string_view caption);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The column takes the client width the other columns leave, at least minWidth.
    void FillColumn(int column, int minWidth);

    // Adds a row with its cells; answers its index. lParam is the caller's.
    int AddItem(const std::vector<std::string>& cells, LPARAM param = 0, int image = -1);
    void SetCell(int item, int column, std::string_view text);
    std::string Cell(int item, int column) const;
    LPARAM ItemParam(int item) const;
    int Count() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)); }
    void DeleteItem(int item) { SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(item), 0); }
    void Clear() { SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0); }
    int SelectedIndex() const;
    void Select(int item);

    // Sorting: a header click on column c sorts by c ascending, a second
    // click on the same column descending. compare(a, b, column) orders two
    // rows by their item params.
    void SetCompare(std::function<int(LPARAM a, LPARAM b, int column)> compare) { compare_ = std::move(compare); }
    void SortBy(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }

    // Once per change of the selection, from the message loop soon after.
    std::function<void()> OnSelectionChange;
    std::function<void()> OnDoubleClick;
    // A right click (or the menu key) at screen point pt.
    std::function<void(POINT pt)> OnContextMenu;

protected:
    LRESULT OnNotify(NMHDR* nm) override;
    LRESULT OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ShowSortArrow();
    static constexpr UINT kSelectionChangedMessage = WM_APP + 20;  // posted to the list view itself
    bool selectionPosted_ = false;
    std::function<int(LPARAM, LPARAM, int)> compare_;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    int columns_ = 0;
};

}  // namespace kelvora::ui
