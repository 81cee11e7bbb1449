// A tab control whose tabs each show a page (a panel of controls) in the
// tab's display area; clicking a tab shows its page.
#pragma once

#include <memory>
#include <vector>

#include "ui/framework/control.h"
#include "ui/framework/pages.h"

namespace kelvora::ui {

class TabControl : public Control {
public:
    bool Create(HWND parent, int id, RECT bounds);
    // Adds a tab and its page; answers the page.
    Panel& AddPage(std::string_view caption);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel& Page(int index) { return *pages_[static_cast<std::size_t>(index)]; }
    void SetCaption(int index, std::string_view caption);
    int ActivePageIndex() const { return static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)); }
    void SetActivePage(int index);
    // The control's size that gives its pages the size asked (with the row
    // of tabs as it is now, captions included).
    SIZE SizeForPage(SIZE page) const;
    // Moves the control and fits its pages to the display area.
    void Place(RECT bounds);

protected:
    LRESULT OnNotify(NMHDR* nm) override;

private:
    RECT DisplayArea() const;
    std::vector<std::unique_ptr<Panel>> pages_;
};

}  // namespace kelvora::ui
