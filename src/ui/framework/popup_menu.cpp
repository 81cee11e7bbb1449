#include "ui/framework/popup_menu.h"

#include <string>

namespace kelvora::ui {

void PopupMenu::AddItem(UINT id, std::string_view caption) {
    std::string text(caption);
    AppendMenuA(menu_.Get(), MF_STRING, id, text.c_str());
}

void PopupMenu::SetCaption(UINT id, std::string_view caption) {
    // Only the text: ModifyMenu would reset the checked and grayed states.
    std::string text(caption);
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoA(menu_.Get(), id, FALSE, &info);
}

UINT PopupMenu::Track(HWND owner, POINT pt) const {
    // The owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere (notification-area menus).
    SetForegroundWindow(owner);
    auto id = static_cast<UINT>(TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x,
                                               pt.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    return id;
}

}  // namespace kelvora::ui
