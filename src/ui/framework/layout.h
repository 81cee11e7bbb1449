// Layout by measure: the sizes that controls need for their texts in their
// own fonts, so that a longer (translated) caption still fits. Sizes are in
// pixels at the control's dpi.
#pragma once

#include <windows.h>

#include <string_view>

namespace kelvora::ui {

// The text's extent in the control's font; "&" marks a mnemonic unless
// noPrefix. With wrapWidth > 0, the height of the text wrapped at that width.
SIZE MeasureText(HWND control, std::string_view text, int wrapWidth = 0, bool noPrefix = false);
// The height of one line of text in the control's font.
int LineHeight(HWND control);

// What a control needs for its own caption (its window text):
// a push button: the caption inside its edges (padding at 96 dpi in all),
// at least minWidth;
int ButtonWidth(HWND button, int minWidth, int padding = 16);
// a check box or radio button: the box, a gap (at 96 dpi) and the caption;
int CheckWidth(HWND check, int gap = 8);
// a static text wrapped at width.
int LabelHeight(HWND label, int width);
// The height of a push button, check box or one-line edit for its font.
int ControlHeight(HWND control);

// Where a dialog of that outer size shows: centred on owner (on the primary
// screen without one), then moved into the work area of owner's monitor, so
// that a dialog wider than its owner, or an owner near a screen edge, never
// puts the dialog's title bar off the screen.
RECT CentredOn(HWND owner, int width, int height);

}  // namespace kelvora::ui
