// A drop-down list combo box that draws its items itself (the options
// dialog shows each font in its own face).
#pragma once

#include <functional>
#include <string>

#include "ui/framework/control.h"

namespace kelvora::ui {

class OwnerDrawCombo : public Control {
public:
    bool Create(HWND parent, int id, RECT bounds, int itemHeight);
    int AddItem(std::string_view text);
    int Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }
    std::string Item(int index) const;
    int ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }
    void SetItemIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    // Selects the item equal to text ignoring case; false when none is.
    bool SelectText(std::string_view text);

    // Draws one item into rc; the background and focus are drawn already.
    std::function<void(HDC dc, const RECT& rc, int index, bool selected)> OnDrawItemText;
    std::function<void()> OnChange;

protected:
    void OnCommand(WORD code) override;
    bool OnDrawItem(DRAWITEMSTRUCT* dis) override;
    void OnMeasureItem(MEASUREITEMSTRUCT* mis) override { mis->itemHeight = static_cast<UINT>(itemHeight_); }
    LRESULT OnSubclassMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int itemHeight_ = 16;
};

}  // namespace kelvora::ui
