// An icon in the notification area with a tooltip and a popup menu; a left
// click calls OnClick, a double click OnDoubleClick.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/framework/popup_menu.h"

namespace kelvora::ui {

class TrayIcon {
public:
    // The window receives kTrayMessage and passes it to HandleMessage.
    static constexpr UINT kTrayMessage = WM_APP + 2;

    TrayIcon() = default;
    ~TrayIcon() { Hide(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool Show(HWND owner, HICON icon, std::string_view tip);
    void Hide();
    bool Visible() const { return owner_ != nullptr; }
    void SetTip(std::string_view tip);
    // The shell forgets every icon when the taskbar restarts (Explorer
    // crashed, for instance) and then broadcasts TaskbarCreatedMessage();
    // the owner passes it on here and the icon is added again.
    static UINT TaskbarCreatedMessage();
    void TaskbarCreated();
    PopupMenu& Menu() { return menu_; }

    // For the owner's kTrayMessage: shows the menu on a right click, calls
    // OnClick on a left click and OnCommand with a chosen menu command.
    void HandleMessage(LPARAM lp);
    std::function<void()> OnClick;
    std::function<void()> OnDoubleClick;
    std::function<void(UINT id)> OnCommand;

private:
    NOTIFYICONDATAA Data() const;
    bool Add();
    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::string tip_;
    PopupMenu menu_;
};

}  // namespace kelvora::ui
