// Layout boxes: a column places controls top to bottom between a left and a
// right edge, each as tall as its text needs in its own font (see
// layout.h), so that a longer (translated) caption still fits. Indents and
// gaps are given at 96 dpi and scaled to the window's dpi; heights and
// skips are pixels.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "ui/framework/control.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

class Column {
public:
    // From left to right (pixels), starting 8 px (at 96 dpi) from the top.
    Column(const Window& window, int left, int right) : w_(window), left_(left), right_(right), y_(w_.Scale(8)) {}
    int Scale(int px) const { return w_.Scale(px); }
    int Left() const { return left_; }
    int Right() const { return right_; }
    int Y() const { return y_; }
    // y in pixels, as other controls left it.
    void SetY(int y) { y_ = y; }
    void Skip(int pixels) { y_ += pixels; }
    int Width(int indent = 0) const { return right_ - left_ - Scale(indent); }

    // A control of height pixels, as wide as width (the rest of the row
    // when 0).
    void Place(Control& c, int height, int indent = 0, int gapAfter = 0, int width = 0);
    // A check box or radio button of its caption's width (at most the row).
    void Check(Control& c, int indent = 0, int gapAfter = 2);
    // A multi-line check box across the row (see PlaceWrappedCheck).
    void WrappedCheck(Control& c, int indent = 0, int gapAfter = 2);
    // A text wrapped at the row's width.
    void Text(Control& c, int indent = 0, int gapAfter = 6);
    // Check boxes in as many equal columns as the row holds.
    void Grid(const std::vector<Control*>& boxes, int indent, int gapAfter = 6);
    // An edit with a button at its right.
    void EditWithButton(Control& edit, Control& button, int indent, int gapAfter = 4);

private:
    const Window& w_;
    int left_;
    int right_;
    int y_;
};

// Places a multi-line check box at x, y, width pixels wide, as tall as its
// caption wrapped in the room beside its box (at least one line); answers
// the height.
int PlaceWrappedCheck(Control& c, int x, int y, int width);

// The widest of the controls' ideal widths: what each needs for its caption
// (push buttons: at least minWidth pixels, with padding at 96 dpi beside it;
// check boxes: with checkGap between box and caption).
int WidestButton(std::initializer_list<const Control*> buttons, int minWidth, int padding = 16);
int WidestCheck(std::initializer_list<const Control*> checks, int checkGap = 8);

// Push buttons of one width and height in a row that ends at right (pixels),
// 6 px (at 96 dpi) apart, the last one given rightmost.
void ButtonRow(const Window& window, std::initializer_list<Control*> buttons, int right, int y, int width,
               int height);

}  // namespace kelvora::ui
