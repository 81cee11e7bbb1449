#include "settings/options.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

constexpr std::string_view kProgram = "C:\\Tools\\Kelvora";

TEST(Options, TheDialogShowsAndStoresTheSettingsItEdits) {
    TSettings s;
    s.ExcludedFolders.Add("D:\\Data");
    s.ExcludedFolders.Add("c:\\tools\\kelvora");  // the program's folder, as loading adds it
    s.IgnoredKeys.Add("HKEY_CURRENT_USER\\Software\\X");
    s.LogLevel = 5;
    s.UseRecycled = false;
    s.ChangesTreeFont = "Gone Sans";
    s.ChangesTreeFontSize = 40;
    TOptionValues v = OptionValuesFromSettings(s, kProgram, false, "German");
    EXPECT_EQ(v.ExcludedFolders, std::vector<std::string>{"D:\\Data"});
    EXPECT_EQ(v.IgnoredKeys, std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\X"});
    EXPECT_TRUE(v.LogErrors && !v.LogWarnings && v.LogSuccess);
    EXPECT_TRUE(v.DeleteFiles && !v.UseRecycled);
    EXPECT_EQ(v.TreeFont, "");  // not installed: no selection
    EXPECT_EQ(v.FontSize, 16);
    EXPECT_EQ(v.Language, "German");
    EXPECT_EQ(OptionValuesFromSettings(s, kProgram, true, "").TreeFont, "Gone Sans");

    // OK with a folder twice, files differing in case, no font and no
    // language selected, every box changed.
    v.ExcludedFolders = {"E:\\Temp", "e:\\temp"};
    v.IgnoredFiles = {"C:\\a.txt", "C:\\A.TXT"};
    v.IgnoredKeys.clear();
    v.LogErrors = false;
    v.LogWarnings = true;
    v.DeleteFiles = false;  // "Use Recycle Bin" is disabled but keeps its mark
    v.UseRecycled = true;
    v.AutoDelQor = true;
    v.HideActivity = true;
    v.Viewer = "";
    v.FontSize = 3;
    v.Language = "";
    StoreOptionValues(v, s, kProgram);
    EXPECT_EQ(s.ExcludedFolders.Items(), (std::vector<std::string>{"C:\\TOOLS\\KELVORA", "E:\\Temp"}));
    EXPECT_EQ(s.IgnoredFiles.Count(), 1u);
    EXPECT_EQ(s.IgnoredKeys.Count(), 0u);
    EXPECT_EQ(s.LogLevel, 6);
    EXPECT_FALSE(s.DeleteFiles);
    EXPECT_TRUE(s.UseRecycled);
    EXPECT_TRUE(s.AutoDelQor);
    EXPECT_TRUE(s.HideActivity);
    EXPECT_EQ(s.Viewer, "");
    EXPECT_EQ(s.ChangesTreeFont, "Gone Sans");  // kept
    EXPECT_EQ(s.ChangesTreeFontSize, 8);
    EXPECT_EQ(s.Language, "English");
}

TEST(Options, AFolderIsExcludedOnceAndNotAboveAnExcludedOne) {
    const std::vector<std::string> excluded{"D:\\Data", "C:\\Temp"};
    const struct {
        const char* folder;
        TExcludeCheck check;
        const char* shown;
    } cases[] = {
        {"C:\\Temp\\Sub", TExcludeCheck::AlreadyExcluded, "C:\\Temp\\Sub\\"},
        {"c:\\TEMP", TExcludeCheck::AlreadyExcluded, "c:\\TEMP\\"},
        {"C:\\", TExcludeCheck::ContainsExcluded, "C:\\"},
        {"C:\\Temp2", TExcludeCheck::Ok, "C:\\Temp2\\"},
        {"C:\\Te", TExcludeCheck::Ok, "C:\\Te\\"},
        // A share whose name also ends an excluded folder's path lies not
        // above it.
        {"\\\\Data", TExcludeCheck::Ok, "\\Data\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const TExcludeAnswer a = CheckExcludedFolder(excluded, c.folder);
        EXPECT_EQ(a.Check, c.check);
        EXPECT_EQ(a.Shown, c.shown);
    }
    // Ignored files and keys join their lists once, whatever their letter case.
    EXPECT_EQ(EntriesToAdd({"C:\\a.txt"}, {"c:\\A.TXT", "C:\\b.txt", "c:\\B.TXT"}),
              (std::vector<std::string>{"C:\\b.txt"}));
    EXPECT_EQ(EntriesToAdd({"HKEY_USERS\\A"}, {"hkey_users\\a"}), std::vector<std::string>{});
    // An ignored key begins with its root key's name, as the tree's paths do.
    EXPECT_TRUE(IgnoredKeyHasRoot("hkey_local_machine\\Software\\A"));
    EXPECT_TRUE(IgnoredKeyHasRoot("HKEY_USERS"));
    EXPECT_FALSE(IgnoredKeyHasRoot("Software\\A"));
    EXPECT_FALSE(IgnoredKeyHasRoot("HKEY_USERSX\\A"));
    EXPECT_FALSE(IgnoredKeyHasRoot("HKLM\\Software"));
}

}  // namespace
}  // namespace kelvora
