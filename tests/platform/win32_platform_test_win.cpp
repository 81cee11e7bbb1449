// What only the Win32 platform shows: Wine's Recycle Bin, the predefined root
// keys, the handle owners, replacing hidden files, starting programs, the
// user's locale.
#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <future>
#include <string>

#include "support/temp_folder_win.h"

namespace kelvora::platform::win32 {
namespace {

class Win32PlatformFiles : public ::testing::Test {
protected:
    Win32Platform wp;
    test::TempFolder scratch{"KelvoraWin32Test-"};
    const std::string& dir = scratch.Path();

    void SetUp() override { ASSERT_TRUE(scratch.Exists()); }
    bool Write(const std::string& path, std::string_view text, bool atomic) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        return atomic ? wp.files.WriteFileAtomic(path, bytes, text.size()) : wp.files.WriteFile(path, bytes, text.size());
    }
    std::string Read(const std::string& path) {
        std::vector<std::uint8_t> bytes;
        return wp.files.ReadFile(path, bytes) ? std::string(bytes.begin(), bytes.end()) : "<unreadable>";
    }
};

TEST_F(Win32PlatformFiles, RecycledFilesLandInWinesTrash) {
    char data[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("XDG_DATA_HOME", data, MAX_PATH);
    if (length == 0 || data[0] != '/') GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    std::string trash = "Z:" + std::string(data, length) + "/Trash";
    for (char& c : trash) c = c == '/' ? '\\' : c;
    const std::string name = "kelvora-recycled-" + std::to_string(GetCurrentProcessId()) + ".txt";
    ASSERT_TRUE(Write(dir + "\\" + name, "recycled", false));
    ASSERT_TRUE(wp.shell.DeleteToRecycleBin(dir + "\\" + name));
    EXPECT_FALSE(wp.files.Exists(dir + "\\" + name));
    EXPECT_EQ(Read(trash + "\\files\\" + name), "recycled");
    DeleteFileA((trash + "\\files\\" + name).c_str());
    DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
}

TEST_F(Win32PlatformFiles, HiddenFilesAreReplacedAndStayHidden) {
    const std::string path = dir + "\\hidden.dat";
    ASSERT_TRUE(Write(path, "one", false));
    ASSERT_TRUE(wp.files.SetAttributes(path, kAttrHidden));
    // CREATE_ALWAYS alone would fail on a hidden file.
    EXPECT_TRUE(Write(path, "two", false));
    EXPECT_EQ(Read(path), "two");
    EXPECT_TRUE(Write(path, "three", true));
    EXPECT_EQ(Read(path), "three");
    EXPECT_NE(wp.files.GetAttributes(path) & kAttrHidden, 0u);
}

TEST_F(Win32PlatformFiles, AtomicWriteKeepsTheOldFileWhenTheTargetIsHeldOpen) {
    const std::string path = dir + "\\busy.dat";
    ASSERT_TRUE(Write(path, "old", false));
    {
        const FileHandle held(
            CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(Write(path, "new", true));
    }
    EXPECT_EQ(Read(path), "old");
    int entries = 0;
    wp.files.List(dir + "\\*.*", [&](const FindEntry&) { return ++entries, true; });
    EXPECT_EQ(entries, 3);  // ".", ".." and busy.dat: no temporary file left
}

TEST(Win32Handles, PredefinedKeysAreRecognisedAndNeverClosed) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG}) {
        EXPECT_TRUE(IsPredefinedKey(root));
    }
    Win32Registry reg;
    RegKey opened;
    ASSERT_EQ(reg.OpenKey(kCurrentUser, "Software", kKeyRead, opened), kErrorSuccess);
    EXPECT_FALSE(IsPredefinedKey(reinterpret_cast<HKEY>(opened.Handle())));
    EXPECT_FALSE(IsPredefinedKey(nullptr));
    for (RootKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig}) {
        RegKey key;
        EXPECT_EQ(reg.OpenKey(root, "", kKeyRead, key), kErrorSuccess) << std::hex << root;
    }
    { KeyHandle root(HKEY_CURRENT_USER); }
    HKEY software = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    KeyHandle owner(software);
    KeyHandle moved(std::move(owner));
    EXPECT_FALSE(owner);
    EXPECT_TRUE(moved);
}

TEST(Win32Shell, StartsProgramsWithEnvironmentVariablesExpanded) {
    Win32Shell shell;
    EXPECT_TRUE(shell.Execute("%WINDIR%\\system32\\cmd.exe", "/c exit 0"));
    EXPECT_FALSE(shell.Execute("%WINDIR%\\no such program.exe", ""));
    EXPECT_FALSE(shell.DeleteToRecycleBin("C:\\no such folder\\no such file.txt"));
}

// A started program is watched to its end and gives its exit code; one that
// cannot start gives the system's error.
TEST(Win32Shell, StartWatchesTheProgramToItsExitCode) {
    Win32Shell shell;
    std::promise<std::uint32_t> ended;
    std::uint32_t error = 0;
    auto watch = shell.Start("%WINDIR%\\system32\\cmd.exe", "/c exit 7",
                             [&](std::uint32_t code) { ended.set_value(code); }, error);
    ASSERT_NE(watch, nullptr);
    auto code = ended.get_future();
    ASSERT_EQ(code.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    EXPECT_EQ(code.get(), 7u);
    EXPECT_EQ(shell.Start("%WINDIR%\\no such program.exe", "", [](std::uint32_t) {}, error), nullptr);
    EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(Win32FileSystem, TheWindowsFolderExists) {
    Win32FileSystem files;
    EXPECT_TRUE(files.FolderExists(files.WindowsFolder()));
}

// The user's own separators, changed as the Control Panel changes them, and
// put back afterwards.
TEST(Win32Locale, FollowsTheUsersSeparators) {
    wchar_t time[8] = {};
    wchar_t date[8] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, time, 8), 0);
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, date, 8), 0);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, L"."));
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, L"\x2010"));
    const DateTimeSeparators separators = Win32Locale().Separators();
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, time);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, date);
    EXPECT_EQ(separators.time, ".");
    EXPECT_EQ(separators.date, "\xE2\x80\x90");
}

// The order of the fields of the user's short date, as the Control Panel
// sets it; quoted text is no field.
TEST(Win32Locale, FollowsTheOrderOfTheUsersShortDate) {
    wchar_t picture[80] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80), 0);
    std::vector<std::string> orders;
    for (const wchar_t* shortDate : {L"M/d/yyyy", L"dd.MM.yy", L"yyyy-MM-dd", L"'day' MM d 'year' yyyy"}) {
        EXPECT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate));
        orders.push_back(Win32Locale().Separators().dateOrder);
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture);
    EXPECT_EQ(orders, (std::vector<std::string>{"MDY", "DMY", "YMD", "MDY"}));
}

}  // namespace
}  // namespace kelvora::platform::win32
