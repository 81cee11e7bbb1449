// The control wrappers under real messages: what the user types, pastes and
// clicks, and what the program reads back from the controls.
#include <gtest/gtest.h>

#include <richedit.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/wide_text_win.h"
#include "ui/framework/buttons.h"
#include "ui/framework/combo_box.h"
#include "ui/framework/edit.h"
#include "ui/framework/gdi.h"
#include "ui/framework/layout.h"
#include "ui/framework/list_view.h"
#include "ui/framework/pages.h"
#include "ui/framework/popup_menu.h"
#include "ui/framework/rich_log.h"
#include "support/gui_win.h"
#include "support/modal_robot_win.h"

namespace kelvora::ui {
namespace {

using test::HostWindow;
using test::Pump;
using test::Type;

void PutOnClipboard(HWND owner, const char* text) { ASSERT_TRUE(test::PutOnClipboard(owner, text)); }

// Holds a key down in this thread's keyboard state (what GetKeyState reads).
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : vk_(vk) { Set(0x80); }
    ~HeldKey() { Set(0); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    void Set(BYTE state) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[vk_] = state;
        SetKeyboardState(keys);
    }
    BYTE vk_;
};

DWORD Selection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end;
}

class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(edit.Create(host.Handle(), 20, "", {10, 10, 200, 22}));
        edit.SetCharFilter(IsFileNameChar);
        edit.OnChange = [this] { ++changes; };
    }
    HostWindow host;
    Edit edit;
    int changes = 0;
};

TEST_F(EditTest, EveryWayOfPastingGoesThroughTheFilter) {
    PutOnClipboard(host.Handle(), "a<b>c");
    // Ctrl+V arrives as the character 0x16.
    SendMessageA(edit.Handle(), WM_CHAR, 0x16, 1);
    EXPECT_EQ(edit.Text(), "abc");
    // Shift+Insert is a key, not a character.
    edit.SetText("");
    {
        HeldKey shift(VK_SHIFT);
        SendMessageA(edit.Handle(), WM_KEYDOWN, VK_INSERT, 1);
    }
    Pump();
    EXPECT_EQ(edit.Text(), "abc");
    // Control characters typed (Backspace) still reach the edit.
    SendMessageA(edit.Handle(), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(edit.Text(), "ab");
}

TEST_F(EditTest, PasteInsertsAtTheCaretAndCountsOnlyKeptCharactersAgainstTheLimit) {
    Type(edit.Handle(), "ad");
    SendMessageA(edit.Handle(), EM_SETSEL, 1, 1);
    PutOnClipboard(host.Handle(), "b:c");
    changes = 0;
    SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), "abcd");
    EXPECT_EQ(Selection(edit.Handle()), 3u);  // the caret after what was pasted
    EXPECT_EQ(changes, 1);

    edit.SetText("");
    edit.SetMaxLength(5);
    PutOnClipboard(host.Handle(), "a:b:c:d:e:f");
    SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), "abcde");
    // A single-line edit takes the first line of a multi-line paste.
    edit.SetText("");
    PutOnClipboard(host.Handle(), "x?y\r\nz");
    SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), "xy");
}

TEST_F(EditTest, CharactersBeyondAsciiMeetTheFilterAsTheirUtf8Bytes) {
    // Typed characters arrive as UTF-16 units; U+1F30E comes in two.
    const wchar_t typed[] = {L'1', 0x00E9, 0x2192, 0xD83C, 0xDF0E, L'2'};
    auto type_all = [&] {
        for (wchar_t c : typed) SendMessageW(edit.Handle(), WM_CHAR, c, 1);
    };
    edit.SetCharFilter([](char c) { return c >= '0' && c <= '9'; });
    type_all();
    EXPECT_EQ(edit.Text(), "12");
    // The same bytes pass when the filter passes them, pasted or typed.
    edit.SetText("");
    edit.SetCharFilter(IsFileNameChar);
    type_all();
    EXPECT_EQ(edit.Text(), "1\xC3\xA9\xE2\x86\x92\xF0\x9F\x8C\x8E" "2");
}

TEST_F(EditTest, ReadOnlyEditRefusesPaste) {
    SendMessageA(edit.Handle(), EM_SETREADONLY, TRUE, 0);
    PutOnClipboard(host.Handle(), "abc");
    SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), "");
}

TEST(SpinEditTest, ValueStaysInsideItsLimitsHoweverItIsReached) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    SpinEdit spin;
    ASSERT_TRUE(spin.Create(host.Handle(), 21, {10, 10, 80, 22}, 1, 10, 5));
    EXPECT_EQ(spin.Value(), 5);
    EXPECT_EQ(spin.Editor().Text(), "5");
    // The up-down sits on the edit's right border, inside the given width.
    RECT edit_rc, updown_rc;
    GetWindowRect(spin.Editor().Handle(), &edit_rc);
    GetWindowRect(spin.UpDown(), &updown_rc);
    EXPECT_GT(updown_rc.left, edit_rc.left + 40);
    EXPECT_LE(updown_rc.right - edit_rc.left, 80);

    spin.SetValue(99);
    EXPECT_EQ(spin.Value(), 10);
    EXPECT_EQ(spin.Editor().Text(), "10");
    // The arrow keys on the edit stop at the limits.
    test::Key(spin.Editor().Handle(), VK_UP);
    EXPECT_EQ(spin.Editor().Text(), "10");
    spin.SetValue(-3);
    EXPECT_EQ(spin.Editor().Text(), "1");
    test::Key(spin.Editor().Handle(), VK_DOWN);
    EXPECT_EQ(spin.Value(), 1);
    test::Key(spin.Editor().Handle(), VK_UP);
    EXPECT_EQ(spin.Value(), 2);
    // Typed numbers are taken clamped; the edit takes digits only.
    spin.Editor().SetText("");
    Type(spin.Editor().Handle(), "-7x");
    EXPECT_EQ(spin.Editor().Text(), "7");
    EXPECT_EQ(spin.Value(), 7);
    spin.Editor().SetText("99999999999999999999");
    EXPECT_EQ(spin.Value(), 10);
    spin.Editor().SetText("");
    EXPECT_EQ(spin.Value(), 1);
}

TEST(RadioGroupTest, ReportsTheCheckedButtonOncePerChange) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    RadioGroup group;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(group.Add(host.Handle(), 40 + i, "&Choice " + std::to_string(i), {10, 10 + 24 * i, 150, 20}));
    std::vector<int> reported;
    group.OnChange = [&](int index) { reported.push_back(index); };
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(2);
    EXPECT_EQ(group.ItemIndex(), 2);
    EXPECT_TRUE(reported.empty());  // set by the program: no news

    test::Click(group.Item(0).Handle(), 5, 5);
    EXPECT_EQ(group.ItemIndex(), 0);
    // A click on the button already checked changes nothing.
    test::Click(group.Item(0).Handle(), 5, 5);
    EXPECT_EQ(reported, (std::vector<int>{0}));
    // Only one button stays checked.
    int checked = 0;
    for (int i = 0; i < group.Count(); ++i)
        checked += SendMessageA(group.Item(i).Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    EXPECT_EQ(checked, 1);
    test::Click(group.Item(1).Handle(), 5, 5);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(reported, (std::vector<int>{0, 1}));
    // Set by the program, then clicked back by the user: news again.
    group.SetItemIndex(0);
    test::Click(group.Item(1).Handle(), 5, 5);
    EXPECT_EQ(reported, (std::vector<int>{0, 1, 1}));
    // Only the first button starts the group.
    EXPECT_NE(GetWindowLongA(group.Item(0).Handle(), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetWindowLongA(group.Item(1).Handle(), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(GetWindowLongA(group.Item(2).Handle(), GWL_STYLE) & WS_GROUP, 0);
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(list.Create(host.Handle(), 30, {0, 0, 400, 300}));
        list.AddColumn("Name", 150);
        list.AddColumn("Size", 80, LVCFMT_RIGHT);
        for (int i = 0; i < 4; ++i) list.AddItem({names[i], sizes[i]}, i);
        list.SetCompare([this](LPARAM a, LPARAM b, int column) {
            if (column == 1) return std::atoi(sizes[a]) - std::atoi(sizes[b]);
            return lstrcmpiA(names[a], names[b]);
        });
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (int i = 0; i < list.Count(); ++i) cells.push_back(list.Cell(i, column));
        return cells;
    }
    int Arrow(int column) { return test::HeaderFormat(list.Handle(), column) & (HDF_SORTUP | HDF_SORTDOWN); }
    // A mouse click in the middle of a column's header.
    void ClickHeader(int column) {
        HWND header = ListView_GetHeader(list.Handle());
        RECT rc{};
        SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rc));
        test::Click(header, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    RECT ItemRect(int item) {
        RECT rc{LVIR_BOUNDS};
        SendMessageA(list.Handle(), LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rc));
        return rc;
    }

    using Strings = std::vector<std::string>;
    const char* names[4] = {"delta", "Alpha", "charlie", "bravo"};
    const char* sizes[4] = {"40", "300", "5", "1000"};
    HostWindow host;
    ListView list;
};

TEST_F(ListViewTest, HeaderClicksToggleTheSortAndItsArrowOnTheClickedColumnOnly) {
    ClickHeader(1);
    EXPECT_EQ(Column(1), (Strings{"5", "40", "300", "1000"}));
    EXPECT_EQ(Arrow(0), 0);
    EXPECT_EQ(Arrow(1), HDF_SORTUP);
    ClickHeader(1);
    EXPECT_EQ(Column(1), (Strings{"1000", "300", "40", "5"}));
    EXPECT_EQ(Arrow(1), HDF_SORTDOWN);
    // Another column starts ascending; the arrow moves there.
    ClickHeader(0);
    EXPECT_EQ(Column(0), (Strings{"Alpha", "bravo", "charlie", "delta"}));
    EXPECT_EQ(Arrow(0), HDF_SORTUP);
    EXPECT_EQ(Arrow(1), 0);
    EXPECT_EQ(list.SortColumn(), 0);
    EXPECT_TRUE(list.SortAscending());
    // Rows keep their params and other cells through the sorts.
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Cell(i, 0), names[list.ItemParam(i)]);
    EXPECT_EQ(list.Cell(0, 1), "300");
    // The column's own alignment survives the arrow.
    EXPECT_EQ(test::HeaderFormat(list.Handle(), 1) & HDF_JUSTIFYMASK, HDF_RIGHT);
}

TEST_F(ListViewTest, SelectionAndContextMenuReachTheirHandlers) {
    int selections = 0;
    std::vector<POINT> menus;
    list.OnSelectionChange = [&] { ++selections; };
    list.OnContextMenu = [&](POINT pt) { menus.push_back(pt); };
    auto click_row = [&](int item) {
        RECT rc = ItemRect(item);
        test::Click(list.Handle(), rc.left + 20, (rc.top + rc.bottom) / 2);
    };
    click_row(0);
    EXPECT_EQ(list.SelectedIndex(), 0);
    EXPECT_EQ(selections, 1);
    // Moving the selection to another row is one change, not two (the list
    // view unselects the old row before it selects the new one).
    click_row(1);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(selections, 2);
    click_row(1);
    EXPECT_EQ(selections, 2);
    // A right click asks for the menu once, where the mouse is.
    RECT third = ItemRect(2);
    POINT at{third.left + 30, (third.top + third.bottom) / 2};
    ClientToScreen(list.Handle(), &at);
    SetCursorPos(at.x, at.y);
    POINT client = at;
    ScreenToClient(list.Handle(), &client);
    // The list view waits in a loop of its own for the button to come up
    // (a drag could start): the release must wait in the queue already.
    LPARAM lp = MAKELPARAM(client.x, client.y);
    PostMessageA(list.Handle(), WM_RBUTTONUP, 0, lp);
    SendMessageA(list.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, lp);
    Pump();
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_NEAR(menus[0].x, at.x, 2);
    EXPECT_NEAR(menus[0].y, at.y, 2);
    // The menu key (the system sends WM_CONTEXTMENU at -1, -1): the menu
    // opens at the selected row.
    list.Select(1);
    SendMessageA(list.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()), MAKELPARAM(-1, -1));
    ASSERT_EQ(menus.size(), 2u);
    RECT row = ItemRect(1);
    MapWindowPoints(list.Handle(), nullptr, reinterpret_cast<POINT*>(&row), 2);
    EXPECT_GE(menus[1].y, row.top);
    EXPECT_LE(menus[1].y, row.bottom);
    EXPECT_GE(menus[1].x, row.left);
}

TEST_F(ListViewTest, LongCellsReadBackWhole) {
    std::string path = "C:\\" + std::string(3000, 'p') + "\\file.txt";
    list.SetCell(0, 0, path);
    EXPECT_EQ(list.Cell(0, 0), path);
    EXPECT_EQ(list.Cell(0, 1), "40");
    EXPECT_EQ(list.Cell(3, 1), "1000");
}

TEST_F(ListViewTest, FailingCompareIsReportedAndTheListStaysUsable) {
    test::CaughtExceptions reported;
    list.SetCompare([](LPARAM, LPARAM, int) -> int { throw std::runtime_error("compare failed"); });
    ClickHeader(0);
    EXPECT_EQ(reported.messages, Strings{"compare failed"});
    EXPECT_EQ(list.Count(), 4);
    list.AddItem({"echo", "1"}, 0);
    EXPECT_EQ(list.Count(), 5);
}

TEST(ComboBoxTest, OwnerDrawnItemsTakeTheAskedHeightAndSelectByText) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    OwnerDrawCombo combo;
    ASSERT_TRUE(combo.Create(host.Handle(), 50, {10, 10, 200, 300}, 26));
    for (const char* face : {"Tahoma", "Courier New", "Arial"}) combo.AddItem(face);
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETITEMHEIGHT, 0, 0), 26);
    EXPECT_GE(SendMessageA(combo.Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 26);
    // Items stay in the order added.
    EXPECT_EQ(combo.Item(1), "Courier New");
    EXPECT_EQ(combo.Count(), 3);
    EXPECT_EQ(combo.Item(7), "");

    int changes = 0;
    combo.OnChange = [&] { ++changes; };
    EXPECT_TRUE(combo.SelectText("courier new"));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_FALSE(combo.SelectText("Wingdings"));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(changes, 0);  // the program's own choice is no news
    // The user moves down with the keyboard.
    test::Key(combo.Handle(), VK_DOWN);
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(changes, 1);

    // Painting asks the owner to draw the selected item, with its height.
    std::vector<int> drawn;
    int height = 0;
    combo.OnDrawItemText = [&](HDC, const RECT& rc, int index, bool) {
        drawn.push_back(index);
        height = rc.bottom - rc.top;
    };
    InvalidateRect(combo.Handle(), nullptr, TRUE);
    UpdateWindow(combo.Handle());
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), 2);
    EXPECT_GE(height, 20);
}

TEST(MeasureTextTest, TextBeyondAsciiMeasuresAsItsOwnLetters) {
    // The A text functions read their bytes in the code page of the font's
    // character set, not as the program's UTF-8: "Ä" would measure as the
    // two letters "Ã„".
    HostWindow host;
    ASSERT_TRUE(host.Create());
    Label label;
    ASSERT_TRUE(label.Create(host.Handle(), 51, "", {0, 0, 300, 20}));
    for (BYTE charset : {BYTE(DEFAULT_CHARSET), BYTE(EASTEUROPE_CHARSET)}) {
        Font font = CreatePointFont("Tahoma", 8, 96, false, charset);
        label.SetFont(font.Get());
        HDC dc = GetDC(label.Handle());
        HGDIOBJ old = SelectObject(dc, font.Get());
        SIZE letters{};
        GetTextExtentPoint32W(dc, L"\u00C4\u0103\u00FC", 3, &letters);
        SelectObject(dc, old);
        ReleaseDC(label.Handle(), dc);
        EXPECT_EQ(MeasureText(label.Handle(), "Äăü").cx, letters.cx) << int(charset);
    }
}

TEST(PageControlTest, ShowsOnePageAtATimeAndTakesTheFocusAlong) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    PageControl pages;
    Edit edits[3];
    for (int i = 0; i < 3; ++i) {
        Panel& page = pages.AddPage(host.Handle(), {0, 0, 300, 200});
        ASSERT_TRUE(edits[i].Create(page.Handle(), 60 + i, "", {10, 10, 100, 22}));
    }
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsWindowVisible(pages.Page(i).Handle()));
    EXPECT_EQ(pages.ActivePageIndex(), -1);
    for (int active : {0, 2, 1}) {
        pages.SetActivePage(active);
        EXPECT_EQ(pages.ActivePageIndex(), active);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsWindowVisible(pages.Page(i).Handle()) != FALSE, i == active) << i;
    }
    // The focus in a page that goes away moves into the page that comes.
    SetForegroundWindow(host.Handle());
    edits[1].Focus();
    ASSERT_EQ(GetFocus(), edits[1].Handle());
    pages.SetActivePage(2);
    EXPECT_EQ(GetFocus(), edits[2].Handle());
    // Resizing moves every page, hidden ones too.
    pages.SetBounds({5, 6, 250, 150});
    for (int i = 0; i < 3; ++i) {
        RECT rc;
        GetWindowRect(pages.Page(i).Handle(), &rc);
        MapWindowPoints(nullptr, host.Handle(), reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, 5);
        EXPECT_EQ(rc.top, 6);
        EXPECT_EQ(rc.right - rc.left, 250);
        EXPECT_EQ(rc.bottom - rc.top, 150);
    }
    pages.SetActivePage(-1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(IsWindowVisible(pages.Page(i).Handle()));
}

class RichLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create());
        ASSERT_TRUE(log.Create(host.Handle(), 70, {0, 0, 400, 120}));
    }
    // The text and the colour of line n, read back from the control.
    std::string LineText(int n) {
        auto start = SendMessageA(log.Handle(), EM_LINEINDEX, n, 0);
        auto length = SendMessageA(log.Handle(), EM_LINELENGTH, start, 0);
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1);
        TEXTRANGEW range{{static_cast<LONG>(start), static_cast<LONG>(start + length)}, text.data()};
        SendMessageW(log.Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
        return platform::win32::Narrow(text.data());
    }
    CHARFORMAT2A LineFormat(int n) {
        auto start = SendMessageA(log.Handle(), EM_LINEINDEX, n, 0);
        auto length = SendMessageA(log.Handle(), EM_LINELENGTH, start, 0);
        CHARRANGE range{static_cast<LONG>(start), static_cast<LONG>(start + length)};
        SendMessageA(log.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2A format{};
        format.cbSize = sizeof(format);
        SendMessageA(log.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
    HostWindow host;
    RichLog log;
};

TEST_F(RichLogTest, EachLineKeepsItsTextAndColour) {
    const COLORREF red = RGB(200, 0, 0), green = RGB(0, 128, 0), blue = RGB(0, 0, 255);
    log.AddLine("Deleting file C:\\App\\app.exe", green);
    log.AddLine("Could not delete C:\\App\\lock.dll", red);
    log.AddLine("Clé \xE2\x86\x92 HKCU\\Software\\Vendor", blue);  // UTF-8
    EXPECT_EQ(log.LineCount(), 3);
    EXPECT_EQ(LineText(0), "Deleting file C:\\App\\app.exe");
    EXPECT_EQ(LineText(1), "Could not delete C:\\App\\lock.dll");
    EXPECT_EQ(LineText(2), "Clé \xE2\x86\x92 HKCU\\Software\\Vendor");
    const COLORREF colours[] = {green, red, blue};
    for (int n = 0; n < 3; ++n) {
        CHARFORMAT2A f = LineFormat(n);
        // CFM_COLOR set: the whole line has one colour.
        EXPECT_NE(f.dwMask & CFM_COLOR, 0u) << n;
        EXPECT_EQ(f.dwEffects & CFE_AUTOCOLOR, 0u) << n;
        EXPECT_EQ(f.crTextColor, colours[n]) << n;
    }
    log.Clear();
    EXPECT_EQ(log.LineCount(), 0);
    log.AddLine("again", red);
    EXPECT_EQ(log.LineCount(), 1);
    EXPECT_EQ(LineFormat(0).crTextColor, red);
}

TEST_F(RichLogTest, IsReadOnlyAndFollowsTheLastLine) {
    EXPECT_NE(SendMessageA(log.Handle(), EM_GETOPTIONS, 0, 0) & ECO_READONLY, 0);
    log.AddLine("first", RGB(0, 0, 0));
    log.Focus();
    Type(log.Handle(), "typed");
    PutOnClipboard(host.Handle(), "pasted");
    SendMessageA(log.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(LineText(0), "first");
    EXPECT_EQ(log.LineCount(), 1);
    for (int i = 0; i < 60; ++i) log.AddLine("line " + std::to_string(i), RGB(0, 0, 0));
    Pump();
    EXPECT_GT(SendMessageA(log.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 40);
}

// Tracks the menu while a robot presses keys in it once it is open.
UINT TrackWithKeys(const PopupMenu& menu, HWND owner, std::vector<WPARAM> keys) {
    test::ModalRobot robot("popup menu", test::WindowOfClass("#32768"), {[&](HWND shown) {
                               for (WPARAM vk : keys) test::PressKey(shown, vk);
                           }});
    RECT rc;
    GetWindowRect(owner, &rc);
    return menu.Track(owner, {rc.left + 50, rc.top + 50});
}

TEST(PopupMenuTest, TrackAnswersTheChosenCommandAndNeverADisabledOne) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    PopupMenu menu;
    menu.AddItem(101, "&Open");
    menu.AddItem(102, "&Delete");
    menu.AddSeparator();
    menu.AddItem(103, "&Properties");
    EXPECT_EQ(TrackWithKeys(menu, host.Handle(), {VK_DOWN, VK_DOWN, VK_RETURN}), 102u);
    menu.SetEnabled(102, false);
    EXPECT_EQ(TrackWithKeys(menu, host.Handle(), {VK_DOWN, VK_DOWN, VK_RETURN}), 0u);
    // The separator is passed over.
    EXPECT_EQ(TrackWithKeys(menu, host.Handle(), {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}), 103u);
    EXPECT_EQ(TrackWithKeys(menu, host.Handle(), {VK_ESCAPE}), 0u);
    // Nothing was posted to the owner as a command.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, host.Handle(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

TEST(PopupMenuTest, NewCaptionKeepsTheItemsState) {
    PopupMenu menu;
    menu.AddItem(1, "&Hexadecimal");
    menu.AddItem(2, "&Delete");
    menu.SetChecked(1, true);
    menu.SetEnabled(2, false);
    menu.SetCaption(1, "&Hexadécimal");
    menu.SetCaption(2, "&Supprimer");
    EXPECT_NE(GetMenuState(menu.Handle(), 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(menu.Handle(), 2, MF_BYCOMMAND) & MF_GRAYED, 0u);
    char text[64] = {};
    GetMenuStringA(menu.Handle(), 1, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Hexadécimal");
    EXPECT_EQ(GetMenuItemCount(menu.Handle()), 2);
}

TEST(ControlExceptions, AHandlerThatThrowsIsReportedAndTheWindowGoesOn) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    test::CaughtExceptions reported;
    Button button;
    ASSERT_TRUE(button.Create(host.Handle(), 80, "&Go", {10, 10, 80, 24}));
    button.OnClick = [] { throw std::runtime_error("click failed"); };
    button.Click();
    Edit edit;
    ASSERT_TRUE(edit.Create(host.Handle(), 81, "", {10, 40, 80, 22}));
    edit.SetCharFilter([](char c) -> bool {
        if (c == '!') throw std::logic_error("filter failed");
        return true;
    });
    Type(edit.Handle(), "a!b");
    EXPECT_EQ(reported.messages, (std::vector<std::string>{"click failed", "filter failed"}));
    EXPECT_EQ(edit.Text().substr(0, 1), "a");
    EXPECT_EQ(edit.Text().back(), 'b');
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    button.Click();
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace kelvora::ui
