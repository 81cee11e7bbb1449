#include "ui/framework/pages.h"

namespace kelvora::ui {

bool Panel::Create(HWND parent, RECT bounds, bool visible) {
    CreateParams p;
    p.ClassName = "KelvoraPanel";
    p.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0);
    // Tab moves into the panel's controls as if they were the parent's.
    p.ExStyle = WS_EX_CONTROLPARENT;
    p.Bounds = bounds;
    p.Parent = parent;
    if (!Window::Create(p)) return false;
    SendMessageA(Handle(), WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    return true;
}

Panel& PageControl::AddPage(HWND parent, RECT bounds) {
    auto page = std::make_unique<Panel>();
    page->Create(parent, bounds, false);
    pages_.push_back(std::move(page));
    events_.emplace_back();
    return *pages_.back();
}

void PageControl::SetPageEvents(int index, std::function<void()> onEnter, std::function<void()> onLeave) {
    Events& e = events_[static_cast<std::size_t>(index)];
    e.enter = std::move(onEnter);
    e.leave = std::move(onLeave);
}

void PageControl::SetActivePage(int index) {
    bool valid = index >= 0 && index < PageCount();
    const int left = active_;
    const bool changes = index != left;
    if (changes && left >= 0 && events_[static_cast<std::size_t>(left)].leave)
        events_[static_cast<std::size_t>(left)].leave();
    HWND focus = GetFocus();
    bool focus_leaves = false;
    if (valid) ShowWindow(Page(index).Handle(), SW_SHOWNA);
    for (int i = 0; i < PageCount(); ++i) {
        if (i == index) continue;
        HWND page = Page(i).Handle();
        if (focus != nullptr && (focus == page || IsChild(page, focus))) focus_leaves = true;
        ShowWindow(page, SW_HIDE);
    }
    active_ = index;
    // Windows hands the focus of a hidden page to its parent, where the
    // keyboard reaches nothing: move it to the new page's first control.
    if (focus_leaves && valid) {
        HWND page = Page(index).Handle();
        HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
        SetFocus(first != nullptr && IsChild(page, first) ? first : page);
    }
    if (changes && valid && events_[static_cast<std::size_t>(index)].enter) events_[static_cast<std::size_t>(index)].enter();
}

void PageControl::SetBounds(RECT b) {
    for (auto& page : pages_)
        SetWindowPos(page->Handle(), nullptr, b.left, b.top, b.right, b.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kelvora::ui
