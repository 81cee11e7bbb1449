#include "settings/settings.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TSortedList ListOf(std::initializer_list<std::string_view> entries) {
    TSortedList list;
    for (std::string_view e : entries) list.Add(e);
    return list;
}

TEST(SortedList, KeepsOneEntryPerNameIgnoringCaseInCaseInsensitiveOrder) {
    TSortedList list = ListOf({"C:\\Temp", "b", "A"});
    EXPECT_FALSE(list.Add("c:\\temp"));
    EXPECT_FALSE(list.Add(""));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"A", "b", "C:\\Temp"}));  // the first spelling stays
    EXPECT_TRUE(list.Contains("c:\\TEMP"));
    EXPECT_TRUE(list.Remove("B"));
    EXPECT_FALSE(list.Remove("B"));
    EXPECT_EQ(list.Text(), "A\r\nC:\\Temp\r\n");
    EXPECT_EQ(TSortedList().Text(), "");
}

TEST(SortedList, SetTextSplitsAtEveryKindOfLineBreak) {
    TSortedList list;
    list.Add("old");
    list.SetText("d\r\nc\rb\na\r\n\r\n\n" "e");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    list.SetText("x\r\nX\r\n");
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"x"}));
    list.SetText("");
    EXPECT_EQ(list.Count(), 0u);
}

TEST(IsPathInList, MatchesTheEntryAndWhatLiesBelowItOnly) {
    const TSortedList list = ListOf({"C:\\APPS", "d:\\Data\\Keep", "HKEY_LOCAL_MACHINE\\Software\\Vendor"});
    EXPECT_TRUE(IsPathInList("C:\\APPS", list));
    EXPECT_TRUE(IsPathInList("c:\\apps\\x\\y.dll", list));
    EXPECT_TRUE(IsPathInList("D:\\DATA\\KEEP\\file", list));
    EXPECT_TRUE(IsPathInList("HKEY_LOCAL_MACHINE\\SOFTWARE\\vendor\\Product", list));
    EXPECT_FALSE(IsPathInList("C:\\APP", list));
    EXPECT_FALSE(IsPathInList("C:\\APPSX", list));
    EXPECT_FALSE(IsPathInList("C:\\", list));
    EXPECT_FALSE(IsPathInList("D:\\Data", list));
    EXPECT_FALSE(IsPathInList("HKEY_LOCAL_MACHINE\\Software\\VendorTwo", list));
    EXPECT_FALSE(IsPathInList("", list));
    EXPECT_FALSE(IsPathInList("C:\\APPS", TSortedList()));
    // C:\APP is not above C:\APPS\X.
    EXPECT_FALSE(IsPathInList("C:\\APPS\\X", ListOf({"C:\\APP"})));
}

TEST(Settings, DefaultsScanEverythingButTheUserAndConfigHives) {
    const TSettings s;
    EXPECT_TRUE(s.ScanHKCR && s.ScanHKLM && s.ScanHKUS && s.ScanWin && s.ScanProg && s.ScanEntire);
    EXPECT_FALSE(s.ScanHKCU || s.ScanHKCC || s.ScanOthers);
    EXPECT_EQ(s.LogLevel, 1);
    EXPECT_EQ(s.ChangesTreeFont, "Tahoma");
    EXPECT_EQ(s.ChangesTreeFontSize, 8);
    EXPECT_EQ(s.Viewer, "notepad.exe");
    EXPECT_TRUE(s.Language.empty());
}

}  // namespace
}  // namespace kelvora
