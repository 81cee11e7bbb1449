// Painting of the virtual tree: column 0 drawn by hand (lines, buttons,
// check boxes, icons, text), the other columns by the list view from the
// texts that LVN_GETDISPINFO hands it.
#include <algorithm>
#include <cstring>

#include "ui/framework/virtual_tree.h"
#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {
// The text colour of the row under the mouse (hot tracking).
constexpr COLORREF kHotText = RGB(0, 80, 200);
}  // namespace

void VirtualTree::FillDispInfo(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    if (source_ == nullptr || item.iItem < 0 || item.iItem >= RowCount()) return;
    Node node = RowNode(item.iItem);
    ReadScope read(source_);
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        std::string text = source_->Text(node, item.iSubItem);
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        std::memcpy(item.pszText, text.data(), n);
        item.pszText[n] = '\0';
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = I_IMAGENONE;
    if ((item.mask & LVIF_INDENT) != 0) item.iIndent = 0;
    if ((item.mask & LVIF_STATE) != 0) item.state = 0;
}

LRESULT VirtualTree::CustomDraw(NMLVCUSTOMDRAW* cd) {
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        int row = static_cast<int>(cd->nmcd.dwItemSpec);
        if (row < 0 || row >= RowCount()) return CDRF_DODEFAULT;
        bool selected = ListView_GetItemState(Handle(), row, LVIS_SELECTED) != 0;
        if (cd->iSubItem == 0) {
            // nmcd.rc of sub-item 0 may span the whole row: the cell is the
            // row's left part as wide as column 0.
            RECT row_rc{LVIR_BOUNDS};
            SendMessageA(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&row_rc));
            RECT cell{row_rc.left, row_rc.top, row_rc.left + ColumnWidth(0), row_rc.bottom};
            ReadScope read(source_);
            DrawCell0(cd->nmcd.hdc, row, cell, selected);
            return CDRF_SKIPDEFAULT;
        }
        if (row == hotRow_ && !selected) {
            cd->clrText = kHotText;
            return CDRF_NEWFONT;
        }
        if (!selected && source_ != nullptr) {
            ReadScope read(source_);
            if (source_->Dimmed(RowNode(row))) {
                cd->clrText = GetSysColor(COLOR_GRAYTEXT);
                return CDRF_NEWFONT;
            }
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void VirtualTree::DrawLines(HDC dc, const Row& r, const RECT& cell) const {
    int indent = Indent();
    int mid_y = (cell.top + cell.bottom) / 2;
    // Dotted lines: one-pixel strips painted with a checkerboard brush,
    // whose set bits take the text colour and the others the background.
    SetTextColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBrushOrgEx(dc, 0, 0, nullptr);
    SelectGuard brush(dc, dots_.Get());
    auto vertical = [&](int x, int y0, int y1) {
        if (y1 > y0) PatBlt(dc, x, y0, 1, y1 - y0, PATCOPY);
    };
    auto horizontal = [&](int x0, int x1, int y) {
        if (x1 > x0) PatBlt(dc, x0, y, x1 - x0, 1, PATCOPY);
    };
    for (int l = 0; l < r.level && l < 64; ++l)
        if ((r.lines >> l) & 1) vertical(cell.left + l * indent + indent / 2, cell.top, cell.bottom);
    int x = cell.left + r.level * indent + indent / 2;
    bool top_row = r.level == 0 && &r == &rows_.front();
    vertical(x, top_row ? mid_y : cell.top, (r.flags & kLastSibling) != 0 ? mid_y : cell.bottom);
    horizontal(x, x + indent / 2 - 1, mid_y);
}

void VirtualTree::DrawCell0(HDC dc, int row, const RECT& cell, bool selected) {
    if (!dots_) {
        static const WORD kCheckerboard[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        Bitmap pattern(CreateBitmap(8, 8, 1, 1, kCheckerboard));
        dots_.Reset(CreatePatternBrush(pattern.Get()));
    }
    const Row& r = rows_[static_cast<std::size_t>(row)];
    bool focused_window = GetFocus() == Handle();
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF fore = GetSysColor(source_->Dimmed(r.node) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    if (row == hotRow_) fore = kHotText;
    CellParts parts = PartsOf(row);

    HRGN clip = CreateRectRgnIndirect(&cell);
    SelectClipRgn(dc, clip);
    FillRect(dc, &cell, GetSysColorBrush(COLOR_WINDOW));
    DrawLines(dc, r, cell);

    int size = iconSize_;
    int top = (cell.top + cell.bottom - size) / 2;
    if ((r.flags & kHasChildren) != 0) {
        // The expand button: a small box with a minus or a plus.
        int box = (size * 9 / 16) | 1;
        int cx = cell.left + parts.button + Indent() / 2;
        int cy = (cell.top + cell.bottom) / 2;
        RECT b{cx - box / 2, cy - box / 2, cx + box / 2 + 1, cy + box / 2 + 1};
        FillRect(dc, &b, GetSysColorBrush(COLOR_WINDOW));
        FrameRect(dc, &b, GetSysColorBrush(COLOR_GRAYTEXT));
        RECT h{b.left + 2, cy, b.right - 2, cy + 1};
        FillRect(dc, &h, GetSysColorBrush(COLOR_WINDOWTEXT));
        if (!IsExpanded(r.node)) {
            RECT v{cx, b.top + 2, cx + 1, b.bottom - 2};
            FillRect(dc, &v, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
    }
    if (parts.check >= 0) {
        int box = size * 13 / 16;
        RECT c{cell.left + parts.check + (size - box) / 2, top + (size - box) / 2, 0, 0};
        c.right = c.left + box;
        c.bottom = c.top + box;
        bool checked = source_->Check(r.node) == CheckMark::Checked;
        DrawFrameControl(dc, &c, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    }
    int image = source_->Image(r.node);
    if (images_ && image >= 0) ImageList_Draw(images_.Get(), image, dc, cell.left + parts.image, top, ILD_TRANSPARENT);

    std::string text = source_->Text(r.node, 0);
    RECT text_rc{cell.left + parts.text, cell.top, cell.right - 2, cell.bottom};
    if (selected) {
        // Full-row selection: the highlight runs from the text to the
        // cell's end and on through the other columns.
        RECT sel{text_rc.left - 2, cell.top, cell.right, cell.bottom};
        back = focused_window ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_BTNFACE);
        fore = focused_window ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT);
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(dc, &sel, brush);
        DeleteObject(brush);
        if (focused_window) DrawFocusRect(dc, &sel);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    const std::wstring wide = WideText(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text_rc,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

}  // namespace kelvora::ui
