// The message box and the input dialog, answered by a second thread that
// finds the window, reads what it shows and presses keys and buttons.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/gui_test_support_win.h"
#include "ui/input_text_dlg.h"
#include "ui/message_dlg.h"

namespace kelvora::ui {
namespace {

struct ShownButton {
    std::string caption;
    int id;
    bool isDefault;
    RECT rect;
};

struct Shown {
    std::string title;
    std::vector<ShownButton> buttons;
    std::vector<std::string> statics;
    bool hasIcon = false;
    RECT window{};
};

Shown Read(HWND dialog) {
    Shown shown;
    shown.title = test::WindowText(dialog);
    GetWindowRect(dialog, &shown.window);
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Shown*>(param);
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof(cls));
            LONG style = GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(cls, "Button") == 0) {
                RECT rc;
                GetWindowRect(child, &rc);
                s->buttons.push_back({test::WindowText(child), GetDlgCtrlID(child),
                                      (style & 0x0F) == BS_DEFPUSHBUTTON, rc});
            } else if (lstrcmpiA(cls, "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) s->hasIcon = true;
                else s->statics.push_back(test::WindowText(child));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// Posts a key to the dialog's focused control, as the keyboard would.
void PressKey(HWND dialog, WPARAM vk) {
    GUITHREADINFO info{sizeof(info)};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

// Shows a box while a robot thread reads it and acts on it.
TModalResult Answer(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons, Shown& shown,
                    const std::function<void(HWND)>& act) {
    std::thread robot([&] {
        HWND dialog = test::WaitForWindow("TMessageForm");
        if (dialog == nullptr) return;
        shown = Read(dialog);
        act(dialog);
    });
    TModalResult result = ShowMessageDlg(text, type, buttons);
    robot.join();
    return result;
}

std::vector<std::string> Captions(const Shown& s) {
    std::vector<std::string> c;
    for (const auto& b : s.buttons) c.push_back(b.caption);
    return c;
}

using Strings = std::vector<std::string>;
using B = TMsgDlgBtn;

TEST(MessageDlg, QuestionWithCancelDefaultsToYesAndEscapeCancels) {
    Shown shown;
    auto r = Answer("Save the changes ?", TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo, B::mbCancel}, shown,
                    [](HWND d) {
                        test::Screenshot("message_box");
                        PressKey(d, VK_ESCAPE);
                    });
    EXPECT_EQ(r, mrCancel);
    EXPECT_EQ(shown.title, "Confirm");
    EXPECT_EQ(Captions(shown), (Strings{"Yes", "No", "Cancel"}));
    ASSERT_EQ(shown.buttons.size(), 3u);
    EXPECT_TRUE(shown.buttons[0].isDefault);
    EXPECT_FALSE(shown.buttons[1].isDefault);
    EXPECT_TRUE(shown.hasIcon);
    EXPECT_EQ(shown.statics, (Strings{"Save the changes ?"}));
    // Left to right, all of one width, the row centred in the box.
    int width = shown.buttons[0].rect.right - shown.buttons[0].rect.left;
    for (const auto& b : shown.buttons) EXPECT_EQ(b.rect.right - b.rect.left, width);
    EXPECT_LT(shown.buttons[0].rect.right, shown.buttons[1].rect.left);
    int left_gap = shown.buttons.front().rect.left - shown.window.left;
    int right_gap = shown.window.right - shown.buttons.back().rect.right;
    EXPECT_NEAR(left_gap, right_gap, 2 + GetSystemMetrics(SM_CXDLGFRAME) * 2);
    // Centred on the screen.
    EXPECT_NEAR(shown.window.left + shown.window.right, GetSystemMetrics(SM_CXSCREEN), 2);
    EXPECT_NEAR(shown.window.top + shown.window.bottom, GetSystemMetrics(SM_CYSCREEN), 2);

    EXPECT_EQ(Answer("Save the changes ?", TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo, B::mbCancel}, shown,
                     [](HWND d) { PressKey(d, VK_RETURN); }),
              mrYes);
}

TEST(MessageDlg, YesNoEscapeAnswersNoAndButtonsAnswerTheirResult) {
    Shown shown;
    EXPECT_EQ(Answer("Remove the selected branch ?", TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo}, shown,
                     [](HWND d) { PressKey(d, VK_ESCAPE); }),
              mrNo);
    EXPECT_EQ(Captions(shown), (Strings{"Yes", "No"}));
    EXPECT_EQ(Answer("Remove the selected branch ?", TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo}, shown,
                     [](HWND d) { PostMessageA(GetDlgItem(d, mrNo), BM_CLICK, 0, 0); }),
              mrNo);
    EXPECT_EQ(Answer("Remove the selected branch ?", TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo}, shown,
                     [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }),
              mrNo);
}

TEST(MessageDlg, ErrorHasOkAnsweringEnterAndEscape) {
    Shown shown;
    EXPECT_EQ(Answer("Delete failed !", TMsgDlgType::mtError, {B::mbOK}, shown, [](HWND d) { PressKey(d, VK_ESCAPE); }),
              mrOk);
    EXPECT_EQ(shown.title, "Error");
    EXPECT_EQ(Captions(shown), (Strings{"OK"}));
    EXPECT_TRUE(shown.buttons[0].isDefault);
    EXPECT_EQ(Answer("Delete failed !", TMsgDlgType::mtWarning, {B::mbOK}, shown, [](HWND d) { PressKey(d, VK_RETURN); }),
              mrOk);
    EXPECT_EQ(shown.title, "Warning");
    EXPECT_EQ(Answer("x", TMsgDlgType::mtCustom, {B::mbOK}, shown, [](HWND d) { PressKey(d, VK_RETURN); }), mrOk);
    EXPECT_EQ(shown.title, "Kelvora");
    EXPECT_FALSE(shown.hasIcon);
}

TEST(MessageDlg, LongTextWrapsAtHalfTheScreen) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "uninstall ";
    Shown shown;
    Answer(text, TMsgDlgType::mtInformation, {B::mbOK}, shown, [](HWND d) { PressKey(d, VK_RETURN); });
    EXPECT_EQ(shown.title, "Information");
    int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_LT(shown.window.right - shown.window.left, screen / 2 + 200);
    EXPECT_GT(shown.window.right - shown.window.left, screen / 2 - 60);
}

TEST(InputTextDlg, OkIsEnabledOnlyWithTextAndAnswersIt) {
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    TdlgInputText dialog;
    dialog.Caption = "Rename";
    dialog.LabelText = "New name";
    bool was_enabled = true, enabled_after = false;
    std::thread robot([&] {
        HWND d = test::WaitForWindow("TdlgInputText");
        if (d == nullptr) return;
        HWND ok = GetDlgItem(d, IDOK);
        was_enabled = IsWindowEnabled(ok) != FALSE;
        PressKey(d, VK_RETURN);  // refused: nothing typed
        HWND edit = GetDlgItem(d, 100);
        for (char c : std::string("MyApp")) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
        for (int i = 0; i < 200 && !IsWindowEnabled(ok); ++i) Sleep(10);
        enabled_after = IsWindowEnabled(ok) != FALSE;
        test::Screenshot("input_dialog");
        PressKey(d, VK_RETURN);
    });
    EXPECT_TRUE(dialog.Execute(host.Handle()));
    robot.join();
    EXPECT_FALSE(was_enabled);
    EXPECT_TRUE(enabled_after);
    EXPECT_EQ(dialog.Text, "MyApp");
}

TEST(InputTextDlg, EscapeCancels) {
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    TdlgInputText dialog;
    dialog.Text = "old";
    std::thread robot([&] {
        HWND d = test::WaitForWindow("TdlgInputText");
        if (d != nullptr) PressKey(d, VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute(host.Handle()));
    robot.join();
    EXPECT_EQ(dialog.Text, "old");
}

}  // namespace
}  // namespace kelvora::ui
