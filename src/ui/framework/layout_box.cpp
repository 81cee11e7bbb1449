#include "ui/framework/layout_box.h"

#include <algorithm>

#include "ui/framework/layout.h"

namespace kelvora::ui {

void Column::Place(Control& c, int height, int indent, int gapAfter, int width) {
    c.SetBounds(left_ + Scale(indent), y_, width != 0 ? width : Width(indent), height);
    y_ += height + Scale(gapAfter);
}

void Column::Check(Control& c, int indent, int gapAfter) {
    const int h = ControlHeight(c.Handle());
    c.SetBounds(left_ + Scale(indent), y_, std::min(CheckWidth(c.Handle()), Width(indent)), h);
    y_ += h + Scale(gapAfter);
}

void Column::WrappedCheck(Control& c, int indent, int gapAfter) {
    y_ += PlaceWrappedCheck(c, left_ + Scale(indent), y_, Width(indent)) + Scale(gapAfter);
}

void Column::Text(Control& c, int indent, int gapAfter) {
    const int h = LabelHeight(c.Handle(), Width(indent));
    c.SetBounds(left_ + Scale(indent), y_, Width(indent), h);
    y_ += h + Scale(gapAfter);
}

void Column::Grid(const std::vector<Control*>& boxes, int indent, int gapAfter) {
    int cell = 0, h = 0;
    for (Control* b : boxes) {
        cell = std::max(cell, CheckWidth(b->Handle()) + Scale(12));
        h = std::max(h, ControlHeight(b->Handle()));
    }
    const int columns = std::max(1, Width(indent) / std::max(cell, 1));
    const int width = std::min(cell, Width(indent));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        boxes[i]->SetBounds(left_ + Scale(indent) + col * cell, y_ + row * h, width - Scale(2), h);
    }
    const int rows = (static_cast<int>(boxes.size()) + columns - 1) / columns;
    y_ += rows * h + Scale(gapAfter);
}

void Column::EditWithButton(Control& edit, Control& button, int indent, int gapAfter) {
    const int bw = ButtonWidth(button.Handle(), Scale(75));
    const int h = std::max(ControlHeight(edit.Handle()), ControlHeight(button.Handle()));
    const int x = left_ + Scale(indent);
    edit.SetBounds(x, y_, right_ - x - bw - Scale(6), ControlHeight(edit.Handle()));
    button.SetBounds(right_ - bw, y_, bw, h);
    y_ += h + Scale(gapAfter);
}

int PlaceWrappedCheck(Control& c, int x, int y, int width) {
    const UINT windowDpi = GetDpiForWindow(c.Handle());
    const int dpi = windowDpi != 0 ? static_cast<int>(windowDpi) : 96;
    // The box and the gap beside it; a line of text and the focus rectangle.
    const int box = GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi)) + MulDiv(6, dpi, 96);
    const int text = MeasureText(c.Handle(), c.Text(), width - box).cy;
    const int h = std::max(LineHeight(c.Handle()), text) + MulDiv(4, dpi, 96);
    c.SetBounds(x, y, width, h);
    return h;
}

int WidestButton(std::initializer_list<const Control*> buttons, int minWidth, int padding) {
    int widest = minWidth;
    for (const Control* b : buttons) widest = std::max(widest, ButtonWidth(b->Handle(), minWidth, padding));
    return widest;
}

int WidestCheck(std::initializer_list<const Control*> checks, int checkGap) {
    int widest = 0;
    for (const Control* c : checks) widest = std::max(widest, CheckWidth(c->Handle(), checkGap));
    return widest;
}

void ButtonRow(const Window& window, std::initializer_list<Control*> buttons, int right, int y, int width,
               int height) {
    // The gaps right of a button are scaled together (12 px at 96 dpi, not
    // 6 px twice), so that rounding at other dpis never adds up.
    int after = static_cast<int>(buttons.size());
    for (Control* b : buttons) {
        --after;
        b->SetBounds(right - (after + 1) * width - window.Scale(6 * after), y, width, height);
    }
}

}  // namespace kelvora::ui
