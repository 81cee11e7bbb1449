#include "ui/framework/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

namespace kelvora::ui {

NOTIFYICONDATAA TrayIcon::Data() const {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = 1;
    return data;
}

bool TrayIcon::Show(HWND owner, HICON icon, std::string_view tip) {
    Hide();
    owner_ = owner;
    icon_ = icon;
    NOTIFYICONDATAA data = Data();
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = icon;
    std::copy_n(tip.begin(), std::min(tip.size(), sizeof(data.szTip) - 1), data.szTip);
    if (!Shell_NotifyIconA(NIM_ADD, &data)) {
        owner_ = nullptr;
        return false;
    }
    return true;
}

void TrayIcon::Hide() {
    if (owner_ == nullptr) return;
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_DELETE, &data);
    owner_ = nullptr;
}

void TrayIcon::SetTip(std::string_view tip) {
    if (owner_ == nullptr) return;
    NOTIFYICONDATAA data = Data();
    data.uFlags = NIF_TIP;
    std::copy_n(tip.begin(), std::min(tip.size(), sizeof(data.szTip) - 1), data.szTip);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::HandleMessage(LPARAM lp) {
    switch (LOWORD(lp)) {
    case WM_LBUTTONUP:
        if (OnClick) OnClick();
        break;
    case WM_RBUTTONUP: {
        POINT pt;
        GetCursorPos(&pt);
        UINT id = menu_.Track(owner_, pt);
        if (id != 0 && OnCommand) OnCommand(id);
        break;
    }
    default:
        break;
    }
}

}  // namespace kelvora::ui
