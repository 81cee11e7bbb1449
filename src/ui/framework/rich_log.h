// A read-only rich-text box that collects log lines, each in its own colour
// (the uninstall log).
#pragma once

#include "ui/framework/control.h"

namespace kelvora::ui {

class RichLog : public Control {
public:
    bool Create(HWND parent, int id, RECT bounds);
    // Appends text and a line break in colour, and scrolls to it.
    void AddLine(std::string_view text, COLORREF colour);
    void Clear() { SetText(""); }
    // The lines added (the empty line after the last break is none).
    int LineCount() const;
};

}  // namespace kelvora::ui
