// Columns sized to what they show: the widths that hold every text whole.
#include "ui/framework/virtual_tree.h"

#include <algorithm>
#include <utility>

#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {

int TextWidth(HDC dc, const std::string& text) {
    const std::wstring wide = WideText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

}  // namespace

void VirtualTree::FitColumnsToContent(std::size_t maxNodes) {
    const int columns = static_cast<int>(minWidths_.size());
    if (source_ == nullptr || columns < 2) return;
    // Room a cell leaves around its text: the list view's margins, as the
    // tips reckon them.
    constexpr int kMargins = 12;
    std::vector<int> need(static_cast<std::size_t>(columns - 1), 0);
    HDC dc = GetDC(Handle());
    // The captions, in the header's font.
    HWND header = ListView_GetHeader(Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)));
    for (int c = 0; c < columns - 1; ++c) {
        char caption[256] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof(caption);
        Header_GetItem(header, c, &item);
        need[static_cast<std::size_t>(c)] = TextWidth(dc, caption) + kMargins;
    }
    // The nodes in display order as if every node were expanded, each at
    // its depth, as far as maxNodes.
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    {
        ReadScope read(source_);
        std::vector<std::pair<Node, int>> pending;
        std::vector<Node> children;
        source_->Children(VirtualTreeSource::kNone, children);
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.emplace_back(*it, 0);
        for (std::size_t seen = 0; !pending.empty() && seen < maxNodes; ++seen) {
            const auto [node, level] = pending.back();
            pending.pop_back();
            // Column 0 as PartsOf lays it out.
            int left = (level + 1) * Indent() + iconSize_ + 3;
            if (source_->Check(node) != CheckMark::None) left += iconSize_ + 2;
            need[0] = std::max(need[0], left + TextWidth(dc, source_->Text(node, 0)) + kMargins);
            for (int c = 1; c < columns - 1; ++c) {
                int& width = need[static_cast<std::size_t>(c)];
                width = std::max(width, TextWidth(dc, source_->Text(node, c)) + kMargins);
            }
            if (!source_->HasChildren(node)) continue;
            children.clear();
            source_->Children(node, children);
            for (auto it = children.rbegin(); it != children.rend(); ++it) pending.emplace_back(*it, level + 1);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    fittedNeed_ = std::move(need);
    ShareColumns();
}

void VirtualTree::ShareColumns() {
    const int columns = static_cast<int>(minWidths_.size());
    if (fittedNeed_.size() + 1 != minWidths_.size()) return;
    // Of the width beyond the last column's minimum, the first column gets
    // what the columns between leave, and at least half of it when they
    // would leave less; those share the rest, each taking no more than it
    // needs, and the last column takes what remains.
    RECT rc;
    GetClientRect(Handle(), &rc);
    sharedWidth_ = rc.right;
    const int room = std::max(0, static_cast<int>(rc.right) - minWidths_.back());
    const auto widthOf = [&](int c, int most) {
        return std::max(minWidths_[static_cast<std::size_t>(c)],
                        std::min(fittedNeed_[static_cast<std::size_t>(c)], most));
    };
    int others = 0;
    for (int c = 1; c < columns - 1; ++c) others += widthOf(c, room);
    const int first = widthOf(0, std::max(room / 2, room - others));
    ListView_SetColumnWidth(Handle(), 0, first);
    int left = room - first;
    for (int c = 1; c < columns - 1; ++c) {
        const int width = widthOf(c, std::max(0, left) / (columns - 1 - c));
        ListView_SetColumnWidth(Handle(), c, width);
        left -= width;
    }
    FitLastColumn();
}

}  // namespace kelvora::ui
