// The printout of the changes document: where each line, icon and rule of
// the document lands on which page. The printer (or any device context)
// measures and draws; this decides positions, wrapping and page breaks, all
// in device pixels.
//
// Geometry: margins of 50 on the left and right, 30 at the top and bottom;
// IndentStep = max(|font height|, 16) + 4; icons are squares of
// max(|font height|, 16); a line's text begins IndentStep + 4 right of its
// icon's left edge; after every line the pen moves down by the line's height
// + 5. Long texts wrap at the right margin, preferably after a space or a
// backslash; a group line stays on one line and loses the middle of its
// path instead ("HKEY_LOCAL_MACHINE\Soft...\Vendor"). A line that does not
// fit above the bottom margin starts a new page; a wrapped text taller than a
// whole page continues row by row on the following pages. Pages after the
// first carry "Page: N" at the top right over a rule.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "changes/text_export.h"

namespace kelvora {

// How a device measures text in one font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The height of one line of text.
    virtual int LineHeight() const = 0;
    virtual int Width(std::string_view text) const = 0;
    // How many leading bytes of text fit in width, on a character boundary.
    virtual std::size_t Fit(std::string_view text, int width) const = 0;
};

// Where the layout draws. A false answer from BeginPage or EndPage ends the
// job (a printer's error).
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual const TextMeasure& Measure(bool bold) const = 0;
    virtual bool BeginPage(int number) = 0;  // 1 for the first sheet
    virtual bool EndPage() = 0;
    virtual void Text(int x, int y, std::string_view text, bool bold) = 0;
    // Image index (cell_text.h) drawn as a size x size square at x, y.
    virtual void Icon(int x, int y, int size, int index) = 0;
    virtual void Rule(int x0, int x1, int y) = 0;
};

struct PrintPage {
    int Width = 0;   // device pixels
    int Height = 0;  // device pixels
    int FontHeight = 0;  // |height| of the printer font in device pixels
};

// The texts around the lines, in the current language.
struct PrintHeading {
    std::string Title;      // "'App' changes"
    std::string Stamp;      // "Kelvora,    " and the date and time
    std::string PageLabel;  // "Page: "
};

inline constexpr int kPrintMargin = 50;
inline constexpr int kPrintTop = 30;
inline constexpr int kPrintBottom = 30;

// Lays the document out on pages of the canvas. False when the canvas
// refused a page; pages already ended stay ended.
bool PrintDocument(const PrintHeading& heading, const std::vector<DocLine>& lines, const PrintPage& page,
                   PageCanvas& canvas);

}  // namespace kelvora
