// The settings on the real registry (Wine's, in the test prefix), in a
// scratch key that the test removes again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/registry_win.h"
#include "settings/settings_store.h"

namespace kelvora {
namespace {

class SettingsOnTheRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        key_ = "Software\\Varnok\\KelvoraTest" + std::to_string(GetCurrentProcessId());
        placementKey_ = key_ + "\\QorMain";
    }
    void TearDown() override {
        registry_.DeleteKey(platform::kCurrentUser, placementKey_);
        registry_.DeleteKey(platform::kCurrentUser, key_);
    }
    DWORD StoredType(const char* name) {
        DWORD type = 0;
        const LSTATUS rc = RegGetValueA(HKEY_CURRENT_USER, key_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                                        nullptr, nullptr);
        return rc == ERROR_SUCCESS ? type : REG_NONE;
    }

    platform::win32::Win32Registry registry_;
    std::string key_;
    std::string placementKey_;
};

TEST_F(SettingsOnTheRegistry, SettingsRoundTripWithTheirTypes) {
    const std::string programFolder = "C:\\Program Files\\Kelvora";
    TSettings out;
    out.ScanHKCU = true;
    out.LogLevel = 5;
    out.Viewer = "wordpad.exe";
    out.Language = "Deutsch";
    out.ExcludedFolders.Add("D:\\Skip");
    out.ExcludedFolders.Add("C:\\PROGRAM FILES\\KELVORA");
    out.IgnoredKeys.Add("HKEY_LOCAL_MACHINE\\Software\\A");
    out.IgnoredKeys.Add("HKEY_LOCAL_MACHINE\\Software\\B");
    ASSERT_TRUE(SaveSettings(registry_, out, programFolder, key_));
    EXPECT_EQ(StoredType("ScanHKCU"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(StoredType("LogLevel"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(StoredType("IgnoredKeys"), static_cast<DWORD>(REG_SZ));

    char text[256] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key_.c_str(), "ExcludedFolders", RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "D:\\Skip\r\n");

    TSettings in;
    LoadSettings(registry_, in, programFolder, key_);
    EXPECT_TRUE(in.ScanHKCU);
    EXPECT_EQ(in.LogLevel, 5);
    EXPECT_EQ(in.Viewer, "wordpad.exe");
    EXPECT_EQ(in.Language, "Deutsch");
    EXPECT_EQ(in.ExcludedFolders.Items(), (std::vector<std::string>{programFolder, "D:\\Skip"}));
    EXPECT_EQ(in.IgnoredKeys.Items(), out.IgnoredKeys.Items());

    const DWORD wrong = 3;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Viewer", REG_DWORD, &wrong, sizeof wrong),
              ERROR_SUCCESS);
    TSettings bad;
    EXPECT_THROW(LoadSettings(registry_, bad, programFolder, key_), SettingsError);
    EXPECT_EQ(bad.LogLevel, 5);
}

TEST_F(SettingsOnTheRegistry, PlacementAndColumnWidthsRoundTrip) {
    ASSERT_TRUE(SaveWindowPlacement(registry_, {false, 700, 500, -8, 30}, placementKey_));
    ASSERT_TRUE(SaveWindowPlacement(registry_, {true, 0, 0, 0, 0}, placementKey_));
    EXPECT_TRUE(LoadWindowPlacement(registry_, placementKey_).Maximized);
    ASSERT_TRUE(SaveWindowPlacement(registry_, {false, std::nullopt, std::nullopt, std::nullopt, 31}, placementKey_));
    const TWindowPlacement p = LoadWindowPlacement(registry_, placementKey_);
    EXPECT_FALSE(p.Maximized);
    EXPECT_EQ(p.Width, 700);
    EXPECT_EQ(p.Left, -8);
    EXPECT_EQ(p.Top, 31);

    ASSERT_TRUE(SaveColumnWidths(registry_, {300, 150}, key_));
    const TColumnWidths widths = LoadColumnWidths(registry_, key_);
    EXPECT_EQ(widths.ChangeColumn, 300);
    EXPECT_EQ(widths.BeforeColumn, 150);
}

}  // namespace
}  // namespace kelvora
