#include "ui/framework/combo_box.h"

#include "platform/text.h"
#include "ui/framework/wide_text.h"

namespace kelvora::ui {

bool OwnerDrawCombo::Create(HWND parent, int id, RECT bounds, int itemHeight) {
    itemHeight_ = itemHeight;
    if (!CreateControl({parent, WC_COMBOBOXA, "",
                        WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, id,
                        bounds}))
        return false;
    // The combo box asks its items' height (WM_MEASUREITEM) while it is
    // being created, before this wrapper is attached to answer: set the
    // heights of the list's items and of the selection field now.
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, itemHeight);
    SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
    return true;
}

int OwnerDrawCombo::AddItem(std::string_view text) {
    std::string copy(text);
    return static_cast<int>(SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
}

std::string OwnerDrawCombo::Item(int index) const {
    auto n = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text;
}

bool OwnerDrawCombo::SelectText(std::string_view text) {
    for (int i = 0; i < Count(); ++i) {
        if (EqualsNoCase(Item(i), text)) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

LRESULT OwnerDrawCombo::OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = CallDefault(msg, wp, lp);
    // A new font makes the combo box measure the selection field again for
    // the font's height: keep the items' own height.
    if (msg == WM_SETFONT) {
        SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, itemHeight_);
        SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
    }
    return result;
}

void OwnerDrawCombo::OnCommand(WORD code) {
    if (code == CBN_SELCHANGE && OnChange) OnChange();
}

bool OwnerDrawCombo::OnDrawItem(DRAWITEMSTRUCT* dis) {
    if (dis->itemID == static_cast<UINT>(-1)) return true;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    FillRect(dis->hDC, &dis->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dis->hDC, TRANSPARENT);
    SetTextColor(dis->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int index = static_cast<int>(dis->itemID);
    if (OnDrawItemText) {
        OnDrawItemText(dis->hDC, dis->rcItem, index, selected);
    } else {
        const std::wstring text = WideText(Item(index));
        RECT rc = dis->rcItem;
        rc.left += 2;
        DrawTextW(dis->hDC, text.c_str(), static_cast<int>(text.size()), &rc,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if ((dis->itemState & ODS_FOCUS) != 0) DrawFocusRect(dis->hDC, &dis->rcItem);
    return true;
}

}  // namespace kelvora::ui
