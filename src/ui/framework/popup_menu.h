// A popup (context) menu built in code; items carry command ids.
#pragma once

#include <string_view>

#include "ui/framework/gdi.h"

namespace kelvora::ui {

class PopupMenu {
public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    HMENU Handle() const { return menu_.Get(); }
    void AddItem(UINT id, std::string_view caption);
    void AddSeparator() { AppendMenuA(menu_.Get(), MF_SEPARATOR, 0, nullptr); }
    void SetCaption(UINT id, std::string_view caption);
    void SetEnabled(UINT id, bool enabled) {
        EnableMenuItem(menu_.Get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    // The item shown in bold, chosen by a double click on the owner.
    void SetDefault(UINT id) { SetMenuDefaultItem(menu_.Get(), id, FALSE); }
    void SetChecked(UINT id, bool checked) {
        CheckMenuItem(menu_.Get(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    // Shows the menu at screen point pt for owner and answers the chosen
    // command id (0 when the menu was dismissed); nothing is posted.
    UINT Track(HWND owner, POINT pt) const;

private:
    Menu menu_;
};

}  // namespace kelvora::ui
