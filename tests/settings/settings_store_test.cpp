#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_registry.h"
#include "settings/failing_registry.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using Registry = platform::memory::MemoryRegistry;

constexpr std::string_view kKey = kSettingsKeyPath;
constexpr std::string_view kProgramFolder = "C:\\Tools\\Kelvora";

struct StoredValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    std::string Text() const { return std::string(data.begin(), data.end()); }
};

std::optional<StoredValue> Stored(platform::Registry& reg, std::string_view keyPath, std::string_view name) {
    platform::RegKey key;
    if (reg.OpenKey(kCurrentUser, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess) return std::nullopt;
    StoredValue v;
    if (reg.QueryValue(key, name, v.type, v.data) != platform::kErrorSuccess) return std::nullopt;
    return v;
}

std::string StoredText(platform::Registry& reg, std::string_view name) {
    const auto v = Stored(reg, kKey, name);
    return v && v->type == platform::kRegSz ? v->Text() : "<not a text>";
}

constexpr const char* kAllValues[] = {
    "DeleteValues", "DeleteKey",  "DeleteFolders", "DeleteFiles",    "RestoreValues",  "DecSharedCounter",
    "CreateKey",    "CreateValues", "UseRecycled", "ScanHKCR",       "ScanHKLM",       "ScanHKCU",
    "ScanHKUS",     "ScanHKCC",   "ScanWin",       "ScanProg",       "ScanEntire",     "ScanOthers",
    "ScanOtherPaths", "LastAppRunPath", "LogLevel", "BinaryHexa",   "HideActivity", "ChangesTreeFont", "ChangesTreeFontSize",
    "Viewer",       "Language",   "AutoDelQor",    "ExcludedFolders", "IgnoredFiles", "IgnoredKeys"};

TEST(SettingsStore, NoKeyGivesTheDefaultsAndTheFirstSaveWritesEveryValue) {
    Registry reg;
    AppContext app;
    app.ProgramFolder = std::string(kProgramFolder);
    InitialiseSettings(app, reg);
    const TSettings defaults;
    EXPECT_EQ(app.Settings.ScanHKCU, defaults.ScanHKCU);
    EXPECT_EQ(app.Settings.Viewer, defaults.Viewer);
    EXPECT_EQ(app.Settings.ExcludedFolders.Items(), std::vector<std::string>{std::string(kProgramFolder)});
    EXPECT_TRUE(reg.KeyExists(kCurrentUser, kKey));

    ASSERT_TRUE(SaveSettings(reg, app.Settings, app.ProgramFolder));
    for (const char* name : kAllValues) EXPECT_TRUE(Stored(reg, kKey, name)) << name;
    const auto flag = Stored(reg, kKey, "ScanHKLM");
    EXPECT_EQ(flag->type, platform::kRegDword);
    EXPECT_EQ(flag->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    const auto font = Stored(reg, kKey, "ChangesTreeFont");
    EXPECT_EQ(font->type, platform::kRegSz);
    EXPECT_EQ(font->data, (std::vector<std::uint8_t>{'T', 'a', 'h', 'o', 'm', 'a', 0}));
    EXPECT_EQ(StoredText(reg, "ExcludedFolders"), std::string(1, '\0'));
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(SettingsStore, EveryValueSurvivesASaveAndALoad) {
    Registry reg;
    TSettings out;
    out.DeleteFiles = false;
    out.UseRecycled = false;
    out.ScanHKCU = true;
    out.ScanEntire = false;
    out.ScanOtherPaths = "D:\\;E:\\Tools";
    out.LastAppRunPath = "C:\\Setups";
    out.LogLevel = -5;
    out.BinaryHexa = true;
    out.HideActivity = true;
    out.ChangesTreeFont = "Courier New";
    out.ChangesTreeFontSize = 11;
    out.Viewer = "wordpad.exe";
    out.Language = "Deutsch";
    out.AutoDelQor = true;
    out.ExcludedFolders.Add("D:\\Skip");
    out.IgnoredFiles.Add("C:\\pagefile.sys");
    out.IgnoredFiles.Add("C:\\a.log");
    out.IgnoredKeys.Add("HKEY_CURRENT_USER\\Software\\X");
    ASSERT_TRUE(SaveSettings(reg, out, kProgramFolder));
    EXPECT_EQ(StoredText(reg, "IgnoredFiles"), std::string("C:\\a.log\r\nC:\\pagefile.sys\r\n") + '\0');

    TSettings in;
    LoadSettings(reg, in, kProgramFolder);
    EXPECT_FALSE(in.DeleteFiles);
    EXPECT_FALSE(in.UseRecycled);
    EXPECT_TRUE(in.ScanHKCU);
    EXPECT_FALSE(in.ScanEntire);
    EXPECT_EQ(in.ScanOtherPaths, out.ScanOtherPaths);
    EXPECT_EQ(in.LastAppRunPath, out.LastAppRunPath);
    EXPECT_EQ(in.LogLevel, -5);
    EXPECT_TRUE(in.BinaryHexa);
    EXPECT_TRUE(in.HideActivity);
    EXPECT_EQ(in.ChangesTreeFont, "Courier New");
    EXPECT_EQ(in.ChangesTreeFontSize, 11);
    EXPECT_EQ(in.Viewer, "wordpad.exe");
    EXPECT_EQ(in.Language, "Deutsch");
    EXPECT_TRUE(in.AutoDelQor);
    EXPECT_EQ(in.ExcludedFolders.Items(), (std::vector<std::string>{std::string(kProgramFolder), "D:\\Skip"}));
    EXPECT_EQ(in.IgnoredFiles.Items(), out.IgnoredFiles.Items());
    EXPECT_EQ(in.IgnoredKeys.Items(), out.IgnoredKeys.Items());
}

TEST(SettingsStore, TheProgramsOwnFolderIsNeverWrittenButStaysExcluded) {
    Registry reg;
    TSettings s;
    LoadSettings(reg, s, kProgramFolder);
    // The options dialog stores its lists and adds the folder again, upper-cased.
    s.ExcludedFolders.Clear();
    s.ExcludedFolders.Add("E:\\Backup");
    s.ExcludedFolders.Add("C:\\TOOLS\\KELVORA");
    ASSERT_TRUE(SaveSettings(reg, s, kProgramFolder));
    EXPECT_EQ(StoredText(reg, "ExcludedFolders"), std::string("E:\\Backup\r\n") + '\0');
    EXPECT_EQ(s.ExcludedFolders.Count(), 2u);
    EXPECT_TRUE(IsPathInList("C:\\Tools\\Kelvora\\HKLM.SNS", s.ExcludedFolders));

    // Stored by hand, it still comes back once.
    reg.PutString(kCurrentUser, kKey, "ExcludedFolders", "c:\\tools\\kelvora\rE:\\Backup");
    TSettings again;
    LoadSettings(reg, again, kProgramFolder);
    EXPECT_EQ(again.ExcludedFolders.Items(), (std::vector<std::string>{"c:\\tools\\kelvora", "E:\\Backup"}));
}

TEST(SettingsStore, AKeyThatCannotBeOpenedChangesNothingButStillExcludesTheOwnFolder) {
    Registry reg;
    reg.PutString(kCurrentUser, kKey, "Viewer", "wordpad.exe");
    ASSERT_TRUE(reg.SetDenied(kCurrentUser, kKey, true));
    TSettings s;
    LoadSettings(reg, s, kProgramFolder);
    EXPECT_EQ(s.Viewer, "notepad.exe");
    EXPECT_EQ(s.ExcludedFolders.Items(), std::vector<std::string>{std::string(kProgramFolder)});
    EXPECT_FALSE(SaveSettings(reg, s, kProgramFolder));
    ASSERT_TRUE(reg.SetDenied(kCurrentUser, kKey, false));
    EXPECT_FALSE(Stored(reg, kKey, "LogLevel"));

    // A key that may be read but not written still gives its values.
    ASSERT_TRUE(reg.SetWriteDenied(kCurrentUser, kKey, true));
    LoadSettings(reg, s, kProgramFolder);
    EXPECT_EQ(s.Viewer, "wordpad.exe");
    EXPECT_FALSE(SaveSettings(reg, s, kProgramFolder));
    // What the windows tell the user.
    EXPECT_EQ(SaveSettingsFailure(reg, s, kProgramFolder), "Failed to set data for '" + std::string(kKey) + "'");
    ASSERT_TRUE(reg.SetWriteDenied(kCurrentUser, kKey, false));
    EXPECT_EQ(SaveSettingsFailure(reg, s, kProgramFolder), "");
}

TEST(SettingsStore, AValueOfTheWrongTypeStopsTheLoadKeepingWhatWasRead) {
    Registry reg;
    reg.PutDword(kCurrentUser, kKey, "ScanHKLM", 0);
    reg.PutDword(kCurrentUser, kKey, "ScanOthers", 7);  // any number but 0 is true
    reg.PutString(kCurrentUser, kKey, "LogLevel", "5");
    reg.PutString(kCurrentUser, kKey, "Viewer", "wordpad.exe");
    TSettings s;
    try {
        LoadSettings(reg, s, kProgramFolder);
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'LogLevel'");
        EXPECT_EQ(e.ValueName(), "LogLevel");
    }
    EXPECT_FALSE(s.ScanHKLM);
    EXPECT_TRUE(s.ScanOthers);
    EXPECT_EQ(s.LogLevel, 1);
    EXPECT_EQ(s.Viewer, "notepad.exe");
    EXPECT_TRUE(s.ExcludedFolders.Contains(kProgramFolder));
    EXPECT_EQ(reg.OpenHandles(), 0u);

    // A number where a text belongs, and a DWORD of the wrong size, are wrong too.
    reg.PutString(kCurrentUser, kKey, "LogLevel", "");
    reg.Put(kCurrentUser, kKey, "LogLevel", platform::kRegDword, {5, 0});
    EXPECT_THROW(LoadSettings(reg, s, kProgramFolder), SettingsError);
    reg.PutDword(kCurrentUser, kKey, "LogLevel", 5);
    reg.PutDword(kCurrentUser, kKey, "Viewer", 1);
    EXPECT_THROW(LoadSettings(reg, s, kProgramFolder), SettingsError);
    EXPECT_EQ(s.LogLevel, 5);
}

TEST(SettingsStore, AValueThatCannotBeWrittenStopsTheSave) {
    Registry memory;
    test::FailingRegistry reg(memory);
    reg.failSetValue = "LogLevel";
    TSettings s;
    s.LastAppRunPath = "C:\\Setups";
    try {
        SaveSettings(reg, s, kProgramFolder);
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'LogLevel'");
    }
    EXPECT_EQ(StoredText(reg, "LastAppRunPath"), std::string("C:\\Setups") + '\0');
    EXPECT_FALSE(Stored(reg, kKey, "BinaryHexa"));
}

TEST(SettingsStore, AMaximisedWindowKeepsTheLastNormalPlacement) {
    Registry reg;
    constexpr std::string_view key = kWindowPlacementKeyPath;
    EXPECT_EQ(WindowPlacementKeyPath("Kelvora"), key);
    EXPECT_EQ(WindowPlacementKeyPath(""), "Software\\Varnok\\QorMain");

    const TWindowPlacement none = LoadWindowPlacement(reg);
    EXPECT_FALSE(none.Maximized || none.Width || none.Left);
    EXPECT_FALSE(reg.KeyExists(kCurrentUser, key));  // reading creates nothing

    ASSERT_TRUE(SaveWindowPlacement(reg, {false, 640, 480, 10, -20}));
    ASSERT_TRUE(SaveWindowPlacement(reg, {true, 1024, 768, 0, 0}));
    const TWindowPlacement maximised = LoadWindowPlacement(reg);
    EXPECT_TRUE(maximised.Maximized);
    EXPECT_FALSE(maximised.Width || maximised.Height || maximised.Left || maximised.Top);
    EXPECT_EQ(Stored(reg, key, "Width")->data, (std::vector<std::uint8_t>{128, 2, 0, 0}));

    ASSERT_TRUE(SaveWindowPlacement(reg, {false, 800, 600, 5, 6}));
    reg.Put(kCurrentUser, key, "Height", platform::kRegDword, {});
    EXPECT_THROW(LoadWindowPlacement(reg), SettingsError);
    reg.PutDword(kCurrentUser, key, "Height", 601);
    const TWindowPlacement normal = LoadWindowPlacement(reg);
    EXPECT_FALSE(normal.Maximized);
    EXPECT_EQ(normal.Width, 800);
    EXPECT_EQ(normal.Height, 601);
    EXPECT_EQ(normal.Left, 5);
    EXPECT_EQ(normal.Top, 6);
}

TEST(SettingsStore, ColumnWidthsAreReadOnlyWhenStored) {
    Registry reg;
    EXPECT_FALSE(LoadColumnWidths(reg).ChangeColumn);
    EXPECT_FALSE(reg.KeyExists(kCurrentUser, kKey));
    ASSERT_TRUE(SaveColumnWidths(reg, {250, 120}));
    const TColumnWidths widths = LoadColumnWidths(reg);
    EXPECT_EQ(widths.ChangeColumn, 250);
    EXPECT_EQ(widths.BeforeColumn, 120);
}

}  // namespace
}  // namespace kelvora
