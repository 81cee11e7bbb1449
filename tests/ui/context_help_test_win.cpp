// Context help under Wine: the calls the program makes to HTML Help for each
// key, click and title-bar request (hhctrl's HtmlHelpW replaced by a
// recorder). tests/e2e/help_file_test.sh reads the compiled help file back.
#include "ui/context_help.h"

#include <htmlhelp.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/gui_win.h"
#include "support/modal_robot_win.h"

namespace kelvora::ui {
namespace {

struct HelpCall {
    HWND Owner;
    std::wstring File;
    UINT Command;
    std::uint32_t Popup = 0;  // HH_POPUP.idString
    POINT At{};
};
std::vector<HelpCall> g_calls;

HWND WINAPI RecordHtmlHelp(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data) {
    HelpCall call{owner, file != nullptr ? file : L"", command};
    if (command == HH_DISPLAY_TEXT_POPUP) {
        const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
        EXPECT_EQ(popup->cbStruct, static_cast<int>(sizeof(HH_POPUP)));
        EXPECT_EQ(popup->pszText, nullptr);
        call.Popup = popup->idString;
        call.At = popup->pt;
    }
    g_calls.push_back(call);
    return nullptr;
}

TEST(HtmlHelpViewer, ContentsPopupsAndTheCloseAreTheseHtmlHelpCalls) {
    g_calls.clear();
    {
        HtmlHelpViewer viewer("C:\\Kelvora\\Kelvora.chm", &RecordHtmlHelp);
        viewer.ShowContents(HWND(0x10));
        viewer.ShowPopup(HWND(0x10), 44, {300, 200});
    }
    ASSERT_EQ(g_calls.size(), 3u);
    EXPECT_EQ(g_calls[0].Owner, HWND(0x10));
    EXPECT_EQ(g_calls[0].File, L"C:\\Kelvora\\Kelvora.chm");
    EXPECT_EQ(g_calls[0].Command, static_cast<UINT>(HH_DISPLAY_TOC));
    EXPECT_EQ(g_calls[1].File, L"C:\\Kelvora\\Kelvora.chm::/cshelp.txt");
    EXPECT_EQ(g_calls[1].Command, static_cast<UINT>(HH_DISPLAY_TEXT_POPUP));
    EXPECT_EQ(g_calls[1].Popup, 44u);
    EXPECT_EQ(g_calls[1].At.x, 300);
    EXPECT_EQ(g_calls[2].Command, static_cast<UINT>(HH_CLOSE_ALL));
    // The real viewer's library is there to be loaded from the system folder.
    HMODULE hhctrl = LoadLibraryExW(L"hhctrl.ocx", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ASSERT_NE(hhctrl, nullptr);
    EXPECT_NE(GetProcAddress(hhctrl, "HtmlHelpW"), nullptr);
    FreeLibrary(hhctrl);
}

// What the program asked of the viewer, in order.
struct Request {
    bool Contents;
    std::uint32_t Context;
    POINT At;
};
class RecordingViewer : public HelpViewer {
public:
    void ShowContents(HWND) override { requests.push_back({true, 0, {}}); }
    void ShowPopup(HWND, std::uint32_t context, POINT at) override { requests.push_back({false, context, at}); }
    std::vector<Request> requests;
};

HWND Child(HWND parent, const char* cls, DWORD style, int x, int y, int w, int h, DWORD context) {
    HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr, nullptr,
                                nullptr);
    SetWindowContextHelpId(hwnd, context);
    return hwnd;
}

POINT CentreOf(HWND hwnd) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

MSG Message(HWND hwnd, UINT message, WPARAM wp, POINT pt) {
    MSG msg{};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wp;
    msg.pt = pt;
    return msg;
}

void HoldShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

class ContextHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        // A panel with a context whose button has none; the hexadecimal
        // toggle; the identifier field; a tree with a menu of its own; a
        // label with no context anywhere above it.
        panel = Child(host.Handle(), "Static", SS_NOTIFY, 10, 10, 200, 100, 46);
        inner = Child(panel, "Button", BS_PUSHBUTTON, 10, 10, 80, 30, 0);
        hexa = Child(host.Handle(), "Button", BS_PUSHBUTTON, 220, 10, 80, 30, 44);
        identifier = Child(host.Handle(), "Edit", WS_BORDER, 10, 120, 200, 24, 31);
        tree = Child(host.Handle(), "Static", SS_NOTIFY, 220, 120, 200, 100, 40);
        label = Child(host.Handle(), "Static", 0, 10, 240, 200, 20, 0);
        help.emplace(viewer, host.Handle());
        help->SetHasOwnMenu([this](HWND w) { return w == tree; });
        ShowWindow(host.Handle(), SW_SHOW);
        SetForegroundWindow(host.Handle());
        test::Pump();
    }
    void TearDown() override { HoldShift(false); }

    // A right click at the centre of window: true when What's This took it.
    // chooseItem: the robot picks "What's This?"; else the menu is closed.
    bool RightClick(HWND window, bool chooseItem = true, bool expectMenu = true) {
        const MSG msg = Message(window, WM_RBUTTONUP, 0, CentreOf(window));
        if (!expectMenu) return help->FilterMessage(msg);
        test::ModalRobot robot("What's This menu", test::WindowOfClass("#32768"), {[&](HWND menu) {
                                   test::PressKey(menu, chooseItem ? VK_DOWN : VK_ESCAPE);
                                   if (chooseItem) test::PressKey(menu, VK_RETURN);
                               }});
        return help->FilterMessage(msg);
    }

    test::HostWindow host;
    RecordingViewer viewer;
    std::optional<ContextHelp> help;
    HWND panel, inner, hexa, identifier, tree, label;
};

TEST_F(ContextHelpTest, F1OpensTheContentsAndShiftF1ThePopupOfTheFocusedControl) {
    SetFocus(identifier);
    EXPECT_TRUE(help->FilterMessage(Message(identifier, WM_KEYDOWN, VK_F1, {})));
    HoldShift(true);
    EXPECT_TRUE(help->FilterMessage(Message(identifier, WM_KEYDOWN, VK_F1, {})));
    // A control without a context of its own takes its panel's.
    SetFocus(inner);
    EXPECT_TRUE(help->FilterMessage(Message(inner, WM_KEYDOWN, VK_F1, {})));
    // Nothing with a context has the focus: the contents.
    SetFocus(label);
    EXPECT_TRUE(help->FilterMessage(Message(label, WM_KEYDOWN, VK_F1, {})));
    HoldShift(false);
    // Other keys pass.
    EXPECT_FALSE(help->FilterMessage(Message(identifier, WM_KEYDOWN, VK_F2, {})));

    ASSERT_EQ(viewer.requests.size(), 4u);
    EXPECT_TRUE(viewer.requests[0].Contents);
    EXPECT_FALSE(viewer.requests[1].Contents);
    EXPECT_EQ(viewer.requests[1].Context, 31u);
    RECT rc;
    GetWindowRect(identifier, &rc);
    EXPECT_EQ(viewer.requests[1].At.y, rc.bottom);  // below the field
    EXPECT_EQ(viewer.requests[2].Context, 46u);
    EXPECT_TRUE(viewer.requests[3].Contents);
}

TEST_F(ContextHelpTest, RightClickOffersWhatsThisUnlessTheControlHasAMenuOfItsOwn) {
    EXPECT_TRUE(RightClick(hexa));
    EXPECT_TRUE(RightClick(inner));          // the panel's context
    EXPECT_TRUE(RightClick(hexa, false));     // menu closed: no pop-up
    EXPECT_FALSE(RightClick(tree, true, false));   // its own menu instead
    EXPECT_FALSE(RightClick(label, true, false));  // no context: the click goes on
    // A disabled control still offers its help.
    EnableWindow(hexa, FALSE);
    EXPECT_TRUE(RightClick(hexa));
    // The tree disabled has no menu of its own to show.
    EnableWindow(tree, FALSE);
    EXPECT_TRUE(RightClick(tree));
    ASSERT_EQ(viewer.requests.size(), 4u);
    EXPECT_EQ(viewer.requests[0].Context, 44u);
    EXPECT_EQ(viewer.requests[0].At.x, CentreOf(hexa).x);
    EXPECT_EQ(viewer.requests[1].Context, 46u);
    EXPECT_EQ(viewer.requests[2].Context, 44u);
    EXPECT_EQ(viewer.requests[3].Context, 40u);
}

TEST_F(ContextHelpTest, TitleBarHelpShowsThePopupOfTheControlClicked) {
    HELPINFO info{};
    info.cbSize = sizeof(info);
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = inner;
    info.MousePos = {40, 50};
    EXPECT_TRUE(help->OnHelp(info));
    info.iContextType = HELPINFO_MENUITEM;
    EXPECT_FALSE(help->OnHelp(info));
    ASSERT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(viewer.requests[0].Context, 46u);
    EXPECT_EQ(viewer.requests[0].At.y, 50);
}

}  // namespace
}  // namespace kelvora::ui
