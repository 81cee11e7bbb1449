#include "changes/print_layout.h"

#include <algorithm>

#include "changes/activity.h"
#include "changes/node_data.h"

namespace kelvora {

namespace {

constexpr int kLineGap = 5;
constexpr int kRuleGap = 4;
constexpr int kLabelGap = 2;
constexpr int kBranchIcon = 4;
constexpr std::string_view kEllipsis = "...";

// The end of the character that begins at pos (UTF-8).
std::size_t CharEnd(std::string_view text, std::size_t pos) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
    return pos;
}

// Rows of text no wider than width: broken after the last space or
// backslash that fits, else inside a word; at least one character a row.
std::vector<std::string_view> Wrap(std::string_view text, int width, const TextMeasure& m) {
    std::vector<std::string_view> rows;
    do {
        // A character is at least a pixel wide: more than this never fits,
        // so a very long value is not measured whole for every row.
        const std::size_t cap = std::min(text.size(), static_cast<std::size_t>(std::max(width, 1)) * 4 + 4);
        std::size_t fit = m.Fit(text.substr(0, cap), width);
        if (fit >= text.size()) {
            rows.push_back(text);
            break;
        }
        if (fit == 0) {
            fit = CharEnd(text, 0);
        } else {
            const std::size_t separator = text.find_last_of(" \\", fit - 1);
            if (separator != std::string_view::npos) fit = separator + 1;
        }
        rows.push_back(text.substr(0, fit));
        text.remove_prefix(fit);
    } while (!text.empty());
    return rows;
}

// A path on one row: the middle gives way to "..." so that its beginning and
// its last name stay readable.
std::string OneRow(std::string_view path, int width, const TextMeasure& m) {
    if (m.Width(path) <= width) return std::string(path);
    const std::size_t last = path.rfind('\\');
    std::string tail(kEllipsis);
    if (last != std::string_view::npos && last > 0) tail.append(path.substr(last));
    int room = width - m.Width(tail);
    if (room < 0) {
        tail = kEllipsis;
        room = std::max(0, width - m.Width(tail));
    }
    std::string row(path.substr(0, m.Fit(path, room)));
    return row + tail;
}

class Layout {
public:
    Layout(const PrintHeading& heading, const PrintPage& page, PageCanvas& canvas)
        : heading_(heading), page_(page), canvas_(canvas), normal_(canvas.Measure(false)),
          icon_(std::max(page.FontHeight, 16)), step_(icon_ + 4) {}

    bool Run(const std::vector<DocLine>& lines) {
        if (!canvas_.BeginPage(1)) return false;
        y_ = kPrintTop;
        if (!Heading()) return false;
        for (const DocLine& line : lines) {
            if (!Line(line)) return false;
        }
        return canvas_.EndPage();
    }

private:
    int Right() const { return page_.Width - kPrintMargin; }
    bool Room(int height) const { return y_ + height + kPrintBottom <= page_.Height; }
    // What a page after the first holds below its label.
    int PageRoom() const { return page_.Height - kPrintBottom - (kPrintTop + normal_.LineHeight() + kLabelGap); }

    bool NewPage() {
        if (!canvas_.EndPage() || !canvas_.BeginPage(++pageNumber_)) return false;
        const std::string label = heading_.PageLabel + std::to_string(pageNumber_);
        const int height = normal_.LineHeight();
        canvas_.Rule(kPrintMargin, Right(), kPrintTop + height / 2);
        canvas_.Text(Right() - normal_.Width(label), kPrintTop, label, false);
        y_ = kPrintTop + height + kLabelGap;
        fresh_ = true;
        return true;
    }

    bool Heading() {
        const TextMeasure& bold = canvas_.Measure(true);
        const int width = Right() - kPrintMargin;
        for (std::string_view row : Wrap(heading_.Title, width, bold)) {
            canvas_.Text(kPrintMargin + std::max(0, (width - bold.Width(row)) / 2), y_, row, true);
            y_ += bold.LineHeight();
        }
        if (!Block(kPrintMargin, -1, kPrintMargin, heading_.Stamp)) return false;
        canvas_.Rule(kPrintMargin, Right(), y_);
        y_ += kRuleGap;
        return true;
    }

    // Activity says why after its text, as the export does; the setup's
    // changes print as they always did.
    static std::string WithReason(const std::string& text, TActivityReason reason) {
        return reason == arSetup ? text : text + "   [" + ActivityReasonText(reason) + "]";
    }

    bool Line(const DocLine& line) {
        const int text_gap = step_ + 4;
        switch (line.LineForm) {
        case DocLine::kRoot:
            rootPrinted_ = true;
            return Block(kPrintMargin, ImageIndexOf(line.Kind, 0), kPrintMargin + text_gap, line.Text);
        case DocLine::kSection: {
            const bool indented = line.Kind != ckFileSystem || rootPrinted_;
            const int x = kPrintMargin + (indented ? step_ : 0);
            return Block(x, ImageIndexOf(line.Kind, 0), x + text_gap, line.Text);
        }
        case DocLine::kKeyOrFolder: {
            const int x = kPrintMargin + 2 * step_;
            return Block(x, ImageIndexOf(line.Kind, line.ValueType), x + text_gap,
                         WithReason(line.Text, line.Activity));
        }
        case DocLine::kGroup: {
            const int x = kPrintMargin + 2 * step_;
            const std::string row = OneRow(line.Text, Right() - (x + text_gap), normal_);
            return Block(x, kBranchIcon, x + text_gap, row);
        }
        case DocLine::kItem: {
            const int x = kPrintMargin + 3 * step_;
            return Block(x, ImageIndexOf(line.Kind, line.ValueType), x + text_gap,
                         WithReason(line.Text + "  =  " + line.Value, line.Activity));
        }
        case DocLine::kChanged: {
            const int x = kPrintMargin + 3 * step_;
            return Block(x, ImageIndexOf(line.Kind, line.ValueType), x + text_gap,
                         WithReason(line.Text, line.Activity)) &&
                   Block(x, -1, x + text_gap, line.Before + "  --->  " + line.After);
        }
        }
        return true;
    }

    // One line of the document: the icon (none when icon < 0) and the text
    // wrapped at the right margin. A line that fits on a page is kept whole;
    // a taller one runs on row by row.
    bool Block(int icon_x, int icon, int text_x, std::string_view text) {
        const int line_height = normal_.LineHeight();
        const std::vector<std::string_view> rows = Wrap(text, Right() - text_x, normal_);
        const int icon_height = icon >= 0 ? icon_ : 0;
        const int height = std::max(line_height * static_cast<int>(rows.size()), icon_height);
        if (!Room(height) && height <= PageRoom() && !NewPage()) return false;
        if (Room(height) || (fresh_ && rows.size() == 1)) {
            if (icon >= 0) canvas_.Icon(icon_x, y_, icon_, icon);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                canvas_.Text(text_x, y_ + static_cast<int>(i) * line_height, rows[i], false);
            }
            y_ += height + kLineGap;
            fresh_ = false;
            return true;
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int row_height = i == 0 ? std::max(line_height, icon_height) : line_height;
            if (!Room(row_height) && !fresh_ && !NewPage()) return false;
            if (i == 0 && icon >= 0) canvas_.Icon(icon_x, y_, icon_, icon);
            canvas_.Text(text_x, y_, rows[i], false);
            y_ += line_height;
            fresh_ = false;
        }
        y_ += kLineGap;
        return true;
    }

    const PrintHeading& heading_;
    const PrintPage page_;
    PageCanvas& canvas_;
    const TextMeasure& normal_;
    const int icon_;
    const int step_;  // IndentStep
    int y_ = kPrintTop;
    int pageNumber_ = 1;
    bool fresh_ = false;  // nothing below this page's label yet
    bool rootPrinted_ = false;
};

}  // namespace

bool PrintDocument(const PrintHeading& heading, const std::vector<DocLine>& lines, const PrintPage& page,
                   PageCanvas& canvas) {
    return Layout(heading, page, canvas).Run(lines);
}

}  // namespace kelvora
