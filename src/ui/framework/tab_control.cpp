#include "ui/framework/tab_control.h"

#include <string>

namespace kelvora::ui {

bool TabControl::Create(HWND parent, int id, RECT bounds) {
    // The pages are the tab control's children: it must not paint over them.
    return CreateControl({parent, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, id, bounds});
}

Panel& TabControl::AddPage(std::string_view caption) {
    std::string text(caption);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item));
    auto page = std::make_unique<Panel>();
    const RECT area = DisplayArea();
    page->Create(Handle(), {area.left, area.top, area.right - area.left, area.bottom - area.top}, pages_.empty());
    pages_.push_back(std::move(page));
    return *pages_.back();
}

void TabControl::SetCaption(int index, std::string_view caption) {
    std::string text(caption);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TabControl::SetActivePage(int index) {
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    HWND focus = GetFocus();
    for (int i = 0; i < PageCount(); ++i) {
        HWND page = Page(i).Handle();
        // A control of a page that hides would keep the focus where the
        // keyboard reaches nothing: the tab control takes it.
        if (i != index && focus != nullptr && IsChild(page, focus)) SetFocus(Handle());
        ShowWindow(page, i == index ? SW_SHOWNA : SW_HIDE);
    }
}

RECT TabControl::DisplayArea() const {
    RECT rc;
    GetClientRect(Handle(), &rc);
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

SIZE TabControl::SizeForPage(SIZE page) const {
    RECT rc{0, 0, page.cx, page.cy};
    SendMessageA(Handle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&rc));
    return {rc.right - rc.left, rc.bottom - rc.top};
}

void TabControl::Place(RECT b) {
    SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
    const RECT area = DisplayArea();
    for (auto& page : pages_)
        SetWindowPos(page->Handle(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TabControl::OnNotify(NMHDR* nm) {
    if (nm->code == TCN_SELCHANGE) SetActivePage(ActivePageIndex());
    return 0;
}

}  // namespace kelvora::ui
