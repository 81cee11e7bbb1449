// Panels (child windows that hold controls and pass their notifications on
// to the controls' wrappers) and the page control that shows one panel at a
// time, as the wizard's pages.
#pragma once

#include <memory>
#include <vector>

#include "ui/framework/window.h"

namespace kelvora::ui {

class Panel : public Window {
public:
    bool Create(HWND parent, RECT bounds, bool visible = true);
};

class PageControl {
public:
    // Adds a hidden page filling bounds of parent; answers it.
    Panel& AddPage(HWND parent, RECT bounds);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel& Page(int index) { return *pages_[static_cast<std::size_t>(index)]; }
    int ActivePageIndex() const { return active_; }
    // Shows the page of index and hides the others.
    void SetActivePage(int index);
    // Moves every page to bounds (after the parent was resized).
    void SetBounds(RECT bounds);

private:
    std::vector<std::unique_ptr<Panel>> pages_;
    int active_ = -1;
};

}  // namespace kelvora::ui
