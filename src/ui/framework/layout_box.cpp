#include "ui/framework/layout_box.h"

#include <algorithm>

namespace kelvora::ui {

int Column::Take(int height, int gapAfter) {
    const int top = up_ ? y_ - height : y_;
    y_ = up_ ? top - Scale(gapAfter) : y_ + height + Scale(gapAfter);
    return top;
}

void Column::Place(Control& c, int height, int indent, int gapAfter, int width) {
    c.SetBounds(left_ + Scale(indent), Take(height, gapAfter), width != 0 ? width : Width(indent), height);
}

void Column::Check(Control& c, int indent, int gapAfter) {
    Place(c, ControlHeight(c.Handle()), indent, gapAfter, std::min(CheckWidth(c.Handle()), Width(indent)));
}

void Column::WrappedCheck(Control& c, int indent, int gapAfter) {
    y_ += PlaceWrappedCheck(c, left_ + Scale(indent), y_, Width(indent)) + Scale(gapAfter);
}

void Column::Text(Control& c, int indent, int gapAfter) {
    Place(c, LabelHeight(c.Handle(), Width(indent)), indent, gapAfter);
}

void Column::Grid(const std::vector<Control*>& boxes, int indent, int gapAfter) {
    int cell = 0, h = 0;
    for (Control* b : boxes) {
        cell = std::max(cell, CheckWidth(b->Handle()) + Scale(12));
        h = std::max(h, ControlHeight(b->Handle()));
    }
    const int columns = std::max(1, Width(indent) / std::max(cell, 1));
    const int width = std::min(cell, Width(indent));
    const int rows = (static_cast<int>(boxes.size()) + columns - 1) / columns;
    const int top = Take(rows * h, gapAfter);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const int col = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        boxes[i]->SetBounds(left_ + Scale(indent) + col * cell, top + row * h, width - Scale(2), h);
    }
}

void Column::EditWithButton(Control& edit, Control& button, int indent, int gapAfter) {
    const int bw = ButtonWidth(button.Handle(), Scale(75));
    const int h = std::max(ControlHeight(edit.Handle()), ControlHeight(button.Handle()));
    const int x = left_ + Scale(indent), y = Take(h, gapAfter);
    edit.SetBounds(x, y, right_ - x - bw - Scale(6), ControlHeight(edit.Handle()));
    button.SetBounds(right_ - bw, y, bw, h);
}

Row Column::NextRow(int height, int indent, int gapAfter) {
    return Row(w_, left_ + Scale(indent), right_, Take(height, gapAfter), height);
}

void Column::Rest(HWND window) {
    SetWindowPos(window, nullptr, left_, Scale(8), Width(), y_ - Scale(8), SWP_NOZORDER | SWP_NOACTIVATE);
}

Row& Row::Place(Control& c, int width, int gapAfter) {
    c.SetBounds(x_, y_, width, height_);
    x_ += width + w_.Scale(gapAfter);
    need_ += width + w_.Scale(gapAfter);
    return *this;
}

Row& Row::Buttons(std::initializer_list<Control*> buttons, int width, int gapBefore) {
    // The gaps right of a button are scaled together (12 px at 96 dpi, not
    // 6 px twice), so that rounding at other dpis never adds up.
    const int count = static_cast<int>(buttons.size());
    int after = count;
    for (Control* b : buttons) {
        --after;
        b->SetBounds(right_ - (after + 1) * width - w_.Scale(6 * after), y_, width, height_);
    }
    const int taken = count * width + w_.Scale(6 * (count - 1));
    right_ -= taken + w_.Scale(gapBefore);
    need_ += taken;
    return *this;
}

Column Row::RestColumn() const {
    Column c(w_, x_, right_);
    c.SetY(y_);
    return c;
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

}  // namespace kelvora::ui
