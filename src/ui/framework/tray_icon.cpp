#include "ui/framework/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "platform/text.h"

namespace kelvora::ui {

namespace {

// The tip holds 127 bytes; a longer one is cut between characters.
void CopyTip(NOTIFYICONDATAA& data, std::string_view tip) {
    const std::string_view kept = Utf8Prefix(tip, sizeof(data.szTip) - 1);
    std::copy(kept.begin(), kept.end(), data.szTip);
    data.szTip[kept.size()] = '\0';
}

}  // namespace

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

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
    tip_ = tip;
    return Add();
}

bool TrayIcon::Add() {
    NOTIFYICONDATAA data = Data();
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = icon_;
    CopyTip(data, tip_);
    if (!Shell_NotifyIconA(NIM_ADD, &data)) {
        owner_ = nullptr;
        return false;
    }
    return true;
}

void TrayIcon::TaskbarCreated() {
    if (owner_ != nullptr) Add();
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
    tip_ = tip;
    data.uFlags = NIF_TIP;
    CopyTip(data, tip_);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TrayIcon::HandleMessage(LPARAM lp) {
    switch (LOWORD(lp)) {
    case WM_LBUTTONUP:
        if (OnClick) OnClick();
        break;
    case WM_LBUTTONDBLCLK:
        if (OnDoubleClick) OnDoubleClick();
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
