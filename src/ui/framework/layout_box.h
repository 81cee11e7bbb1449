// Layout boxes: a column places controls top to bottom (or bottom up)
// between a left and a right edge, a row left to right (and push buttons
// from its right end), each as large as its text needs in its own font (see
// layout.h), so that a longer (translated) caption still fits. Indents and
// gaps are given at 96 dpi and scaled to the window's dpi; widths, heights
// and skips are pixels.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "ui/framework/control.h"
#include "ui/framework/layout.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

class Row;

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
    // From here on bottom up, from bottom (pixels): each control goes above
    // the last one, its gapAfter above it.
    void FromBottom(int bottom) { y_ = bottom, up_ = true; }
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
    // A row of height pixels across the column.
    Row NextRow(int height, int indent = 0, int gapAfter = 0);
    // Bottom up: a window in the room left above, up to 8 px (at 96 dpi)
    // from the top.
    void Rest(HWND window);

private:
    // Where a slot of height pixels starts; moves past it and gapAfter.
    int Take(int height, int gapAfter);

    const Window& w_;
    int left_;
    int right_;
    int y_;
    bool up_ = false;
};

// Controls from left to right at y, height pixels tall, and push buttons
// from the right end leftwards.
class Row {
public:
    Row(const Window& window, int left, int right, int y, int height)
        : w_(window), x_(left), right_(right), y_(y), height_(height) {}
    // The room between the controls placed from either end.
    int Room() const { return right_ - x_; }
    // What the controls and the gaps after them take, the gap before the
    // push buttons left out: the row's narrowest width.
    int Need() const { return need_; }

    // A control width pixels wide, gapAfter (96 dpi) before the next.
    Row& Place(Control& c, int width, int gapAfter = 0);
    // A push button (or push-like toggle) of its caption's width, at least
    // minWidth (96 dpi); a check box of its caption's; a static text of its
    // text's; a control across the room left.
    Row& Button(Control& c, int minWidth, int gapAfter = 0) {
        return Place(c, ButtonWidth(c.Handle(), w_.Scale(minWidth)), gapAfter);
    }
    Row& Check(Control& c, int gapAfter = 0) { return Place(c, CheckWidth(c.Handle()), gapAfter); }
    Row& Label(Control& c, int gapAfter = 0) { return Place(c, MeasureText(c.Handle(), c.Text()).cx, gapAfter); }
    void Fill(Control& c) { Place(c, Room()); }
    // Push buttons of one width at the right end, 6 px (96 dpi) apart, the
    // last one given rightmost; gapBefore (96 dpi) left free before them.
    Row& Buttons(std::initializer_list<Control*> buttons, int width, int gapBefore = 0);
    // A column in the room left, from the row's top.
    Column RestColumn() const;

private:
    const Window& w_;
    int x_;
    int right_;
    int y_;
    int height_;
    int need_ = 0;
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

}  // namespace kelvora::ui
