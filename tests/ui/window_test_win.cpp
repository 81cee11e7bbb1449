// The window base and the small control wrappers, driven by messages.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/dispatcher.h"
#include "ui/framework/buttons.h"
#include "ui/framework/dispatcher_link.h"
#include "ui/framework/edit.h"
#include "ui/framework/list_view.h"
#include "ui/framework/pages.h"
#include "ui/framework/single_instance.h"
#include "support/gui_win.h"

namespace kelvora::ui {
namespace {

using test::HostWindow;
using test::Pump;

TEST(WindowFramework, ControlNotificationsReachTheirWrappersThroughPanels) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    PageControl pages;
    Panel& first = pages.AddPage(host.Handle(), {0, 0, 300, 200});
    Panel& second = pages.AddPage(host.Handle(), {0, 0, 300, 200});
    pages.SetActivePage(1);
    EXPECT_FALSE(IsWindowVisible(first.Handle()));
    EXPECT_TRUE(IsWindowVisible(second.Handle()));

    Button next;
    ASSERT_TRUE(next.Create(second.Handle(), 10, "&Next", {10, 10, 80, 24}));
    int clicks = 0;
    next.OnClick = [&] { ++clicks; };
    next.Click();
    EXPECT_EQ(clicks, 1);

    RadioGroup mode;
    ASSERT_TRUE(mode.Add(second.Handle(), 11, "&Install", {10, 40, 120, 20}));
    ASSERT_TRUE(mode.Add(second.Handle(), 12, "&Uninstall", {10, 60, 120, 20}));
    int changed = -1;
    mode.OnChange = [&](int index) { changed = index; };
    mode.SetItemIndex(0);
    SendMessageA(mode.Item(1).Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(mode.ItemIndex(), 1);

    CheckBox others;
    ASSERT_TRUE(others.Create(second.Handle(), 13, "&Others", {10, 80, 120, 20}));
    SendMessageA(others.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(others.Checked());
}

TEST(WindowFramework, EditFilterRefusesTypedAndPastedCharacters) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    Edit edit;
    ASSERT_TRUE(edit.Create(host.Handle(), 20, "", {10, 10, 200, 22}));
    edit.SetCharFilter(IsFileNameChar);
    int changes = 0;
    edit.OnChange = [&] { ++changes; };
    test::Type(edit.Handle(), "a:b*c?d");
    EXPECT_EQ(edit.Text(), "abcd");
    EXPECT_EQ(changes, 4);
    SendMessageA(edit.Handle(), WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(edit.Text(), "abc");
    // Pasting runs the same filter over the pasted text.
    ASSERT_TRUE(test::PutOnClipboard(host.Handle(), "x|y\\z"));
    SendMessageA(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), "abcxyz");
}

TEST(WindowFramework, ListViewSortsByClickedColumnWithHeaderArrow) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    ListView list;
    ASSERT_TRUE(list.Create(host.Handle(), 30, {0, 0, 400, 300}));
    list.AddColumn("Name", 150);
    list.AddColumn("Uses", 60);
    const char* names[] = {"beta", "Alpha", "gamma"};
    const char* uses[] = {"2", "10", "1"};
    for (int i = 0; i < 3; ++i) list.AddItem({names[i], uses[i]}, i);
    list.SetCompare([&](LPARAM a, LPARAM b, int column) {
        if (column == 1) return std::atoi(uses[a]) - std::atoi(uses[b]);
        return lstrcmpiA(names[a], names[b]);
    });
    // Clicks on the header as the list view reports them.
    auto click = [&](int column) {
        NMLISTVIEW nm{};
        nm.hdr = {list.Handle(), 30, static_cast<UINT>(LVN_COLUMNCLICK)};
        nm.iItem = -1;
        nm.iSubItem = column;
        SendMessageA(host.Handle(), WM_NOTIFY, 30, reinterpret_cast<LPARAM>(&nm));
    };
    auto arrow = [&](int column) { return test::HeaderFormat(list.Handle(), column) & (HDF_SORTUP | HDF_SORTDOWN); };
    click(0);
    EXPECT_EQ(list.Cell(0, 0), "Alpha");
    EXPECT_EQ(list.Cell(2, 0), "gamma");
    EXPECT_EQ(arrow(0), HDF_SORTUP);
    click(0);
    EXPECT_EQ(list.Cell(0, 0), "gamma");
    EXPECT_EQ(arrow(0), HDF_SORTDOWN);
    click(1);
    EXPECT_EQ(list.Cell(0, 1), "1");
    EXPECT_EQ(list.Cell(2, 1), "10");
    EXPECT_EQ(arrow(0), 0);
    EXPECT_EQ(arrow(1), HDF_SORTUP);
}

TEST(WindowFramework, WorkerCallsRunOnTheWindowThreadAndExceptionsStopAtTheWindow) {
    HostWindow host;
    ASSERT_TRUE(host.Create());
    platform::Dispatcher dispatcher;
    DispatcherLink link(host, dispatcher);
    test::CaughtExceptions reported;
    DWORD window_thread = GetCurrentThreadId();
    std::atomic<DWORD> ran_on{0};
    DWORD synchronized_on = 0;
    std::thread worker([&] {
        dispatcher.Synchronize([&] { synchronized_on = GetCurrentThreadId(); });
        dispatcher.Post([] { throw std::runtime_error("posted call failed"); });
        dispatcher.Post([&] { ran_on = 1; });
    });
    // Serve the window's messages until the worker's calls have run.
    ASSERT_TRUE(test::PumpUntil([&] { return ran_on == 1; }));
    worker.join();
    EXPECT_EQ(synchronized_on, window_thread);
    EXPECT_EQ(reported.messages, std::vector<std::string>{"posted call failed"});
}

TEST(WindowFramework, SecondInstanceIsDetected) {
    SingleInstance first("Varnok.Kelvora.Test.SingleInstance");
    SingleInstance second("Varnok.Kelvora.Test.SingleInstance");
    EXPECT_FALSE(first.IsSecond());
    EXPECT_TRUE(second.IsSecond());
}

}  // namespace
}  // namespace kelvora::ui
