// Panels (child windows that hold controls and pass their notifications on
// to the controls' wrappers) and the page control that shows one panel at a
// time, as the wizard's pages. A page can be told when it is left and
// entered.
#pragma once

#include <functional>
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
    // Called when the page of index stops or starts being the visible one:
    // first the page left, then (once it shows) the page entered.
    void SetPageEvents(int index, std::function<void()> onEnter, std::function<void()> onLeave);
    // Shows the page of index and hides the others; the events run only
    // when the visible page changes.
    void SetActivePage(int index);
    // Moves every page to bounds (after the parent was resized).
    void SetBounds(RECT bounds);

private:
    struct Events {
        std::function<void()> enter;
        std::function<void()> leave;
    };
    std::vector<std::unique_ptr<Panel>> pages_;
    std::vector<Events> events_;
    int active_ = -1;
};

}  // namespace kelvora::ui
