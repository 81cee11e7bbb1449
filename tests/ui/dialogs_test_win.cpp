// The message box and the input dialog, answered by a robot that reads what
// the window shows and presses keys and buttons.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/gui_win.h"
#include "kelvora_version.h"
#include "platform/memory/memory_file_system.h"
#include "support/modal_robot_win.h"
#include "translation/translator.h"
#include "ui/about_dlg.h"
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
            std::string cls = test::ClassName(child);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(cls.c_str(), "Button") == 0) {
                RECT rc;
                GetWindowRect(child, &rc);
                s->buttons.push_back({test::WindowText(child), GetDlgCtrlID(child),
                                      (style & 0x0F) == BS_DEFPUSHBUTTON, rc});
            } else if (lstrcmpiA(cls.c_str(), "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON) s->hasIcon = true;
                else s->statics.push_back(test::WindowText(child));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&shown));
    return shown;
}

using test::PressKey;

// Shows a box while a robot reads it and acts on it.
TModalResult Answer(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons, Shown& shown,
                    const std::function<void(HWND)>& act) {
    test::ModalRobot robot("message box", test::WindowOfClass("TMessageForm"), {[&](HWND dialog) {
                               shown = Read(dialog);
                               act(dialog);
                           }});
    return ShowMessageDlg(text, type, buttons);
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
    test::ModalRobot robot("input dialog", test::WindowOfClass("TdlgInputText"),
                           {[&](HWND d) {
                                was_enabled = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
                                PressKey(d, VK_RETURN);  // refused: nothing typed
                            },
                            [&](HWND d) {
                                HWND edit = GetDlgItem(d, 100);
                                for (char c : std::string("MyApp"))
                                    PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
                            },
                            [&](HWND d) {
                                enabled_after = IsWindowEnabled(GetDlgItem(d, IDOK)) != FALSE;
                                test::Screenshot("input_dialog");
                                PressKey(d, VK_RETURN);
                            }});
    EXPECT_TRUE(dialog.Execute(host.Handle()));
    EXPECT_FALSE(was_enabled);
    EXPECT_TRUE(enabled_after);
    EXPECT_EQ(dialog.Text, "MyApp");
}

TEST(InputTextDlg, EscapeCancels) {
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    TdlgInputText dialog;
    dialog.Text = "old";
    test::ModalRobot robot("input dialog", test::WindowOfClass("TdlgInputText"),
                           {[](HWND d) { PressKey(d, VK_ESCAPE); }});
    EXPECT_FALSE(dialog.Execute(host.Handle()));
    EXPECT_EQ(dialog.Text, "old");
}

TEST(AboutDlg, ShowsTheBuiltVersionAndEnterCloses) {
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    std::vector<std::string> texts;
    test::ModalRobot robot("about box", test::WindowOfClass("TdlgAboutQor"), {[&](HWND d) {
                               for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
                                   texts.push_back(test::WindowText(c));
                               PressKey(d, VK_RETURN);
                           }});
    platform::memory::MemoryFileSystem noLanguages;
    TTranslator english(noLanguages, "C:\\Kelvora");
    TdlgAboutQor about;
    about.Execute(host.Handle(), english);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Kelvora " KELVORA_VERSION), texts.end());
}

// A robot that leaves its window open, or never finds it, fails the test and
// ends the modal loop instead of leaving it running.
TEST(ModalRobot, EndsAWindowLeftOpenAndFails) {
    for (const char* cls : {"TMessageForm", "NoSuchClass"}) {
        TModalResult result = mrNone;
        EXPECT_NONFATAL_FAILURE(
            {
                test::ModalRobot robot("window", test::WindowOfClass(cls), {[](HWND) {}}, 200);
                result = ShowMessageDlg("left open", TMsgDlgType::mtInformation, {B::mbOK});
            },
            "after 200 ms");
        EXPECT_EQ(result, mrOk) << cls;  // as its close box answers
    }
}

}  // namespace
}  // namespace kelvora::ui
