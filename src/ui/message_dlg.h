// The program's message box (TMessageForm) and the one-line input dialog
// (TdlgInputText). Both are modal and run on the window thread only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "translation/message_dialog.h"

namespace kelvora::ui {

// The window whose font a message box takes when no window is active.
void SetMainWindowForMessages(HWND hwnd);

// Shows text in a box of the type with the buttons and answers the button
// chosen (mrCancel when the box is closed without a button of its own).
TModalResult ShowMessageDlg(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace kelvora::ui
