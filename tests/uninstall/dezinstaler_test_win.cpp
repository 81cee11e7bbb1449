// An installation undone on the real registry and file system: a scratch
// subtree gets keys and values created, changed and deleted, files and
// folders created and a shared counter raised; the matching change records
// go into a changes tree in uninstall mode, the uninstaller runs, and the
// subtree, the folders, the counters, Log.txt and the Recycle Bin are checked.
#include "platform/win32/win32_platform_win.h"
#include "uninstall/dezinstaler.h"
#include "uninstall/uninstall_log.h"
#include "value_types_round_trip.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>
#include <vector>

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;

struct LoggingView : IUninstallView {
    TUninstallLog log;
    void ShowStatus(const std::string&) override {}
    void SetProgressMax(int) override {}
    void StepProgress() override {}
    void ShowLogLine(const std::string& line, std::int32_t level) override { log.Add(7, line, level); }
};

struct AlwaysYes : IRemoveSharedQuestion {
    std::vector<std::string> asked;
    int AskRemoveShared(const std::string& fileName, const std::string& folder) override {
        asked.push_back(folder + fileName);
        return kAnswerYes;
    }
};

std::string ReadAll(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

class DezinstalerOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string tag = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        key_ = "Software\\KelvoraUninstallTest\\Run" + tag;
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = wp_.files.LongPathName(std::string(temp) + "KelvoraUninstall-" + tag);
        ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((dir_ + "\\Prog").c_str(), nullptr));
        context_.ProgramFolder = dir_ + "\\Prog";
        context_.AppIdentifier = "ScratchApp";
        context_.Settings.LogLevel = 7;
        shared_ = dir_ + "\\App\\shared-" + tag + ".dll";
        tree_.StartFill(true);
    }

    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KelvoraUninstallTest");
        if (HKEY sharedKey; RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kSharedDllsKey).c_str(), 0, KEY_SET_VALUE,
                                          &sharedKey) == ERROR_SUCCESS) {
            RegDeleteValueA(sharedKey, shared_.c_str());
            RegCloseKey(sharedKey);
        }
        std::string list = dir_;
        list.push_back('\0');
        list.push_back('\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = list.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&operation);
    }

    // Every key and value below the scratch key, as "key|value=type:data".
    std::map<std::string, std::string> Registry() {
        std::map<std::string, std::string> out;
        Dump(key_, out);
        return out;
    }
    void Dump(const std::string& path, std::map<std::string, std::string>& out) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        out[path] = "(key)";
        char name[256];
        BYTE data[256];
        for (DWORD i = 0;; ++i) {
            DWORD nameLen = sizeof name;
            DWORD type = 0;
            DWORD dataLen = sizeof data;
            if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
            out[path + "|" + name] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataLen);
        }
        std::vector<std::string> subKeys;
        for (DWORD i = 0;; ++i) {
            DWORD nameLen = sizeof name;
            if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            subKeys.emplace_back(name);
        }
        RegCloseKey(key);
        for (const std::string& sub : subKeys) Dump(path + "\\" + sub, out);
    }

    void PutString(const std::string& path, const char* name, const std::string& text) {
        platform::RegKey key;
        ASSERT_EQ(wp_.registry.CreateKey(kCurrentUser, path, key), 0);
        ASSERT_EQ(wp_.registry.SetValue(key, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                        static_cast<std::uint32_t>(text.size() + 1)),
                  0);
    }
    void WriteFile(const std::string& path) {
        ASSERT_TRUE(wp_.files.WriteFile(path, reinterpret_cast<const std::uint8_t*>(path.data()), path.size()));
    }

    void Add(TChangeKind kind, std::string path, std::string name, std::uint32_t type = 0,
             std::string_view oldData = {}, std::string_view newData = {}) {
        TNodeData rec;
        rec.Kind = kind;
        rec.RootKey = kind == ckSharedCounterIncremented ? kLocalMachine : (IsRegistryKind(kind) ? kCurrentUser : 0);
        rec.Path = path;
        rec.ValueType = static_cast<std::int32_t>(type);
        if (!oldData.empty()) rec.SetOld(reinterpret_cast<const std::uint8_t*>(oldData.data()), oldData.size());
        if (!newData.empty()) rec.SetNew(reinterpret_cast<const std::uint8_t*>(newData.data()), newData.size());
        const std::string placement =
            IsRegistryKind(kind) ? std::string(RootKeyName(rec.RootKey)) + "\\" + path : path;
        tree_.AddToTree(placement, name, std::move(rec));
    }

    std::int32_t Run() {
        TDezinstaler worker(UninstallServices{wp_.platform, dispatcher_, context_, tree_, view_, question_});
        bool ended = false;
        worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker.Start();
        dispatcher_.ServeUntil([&] { return ended; });
        EXPECT_EQ(worker.FatalException(), nullptr);
        return worker.ErrorCount();
    }

    platform::win32::Win32Platform wp_;
    platform::Dispatcher dispatcher_;
    AppContext context_;
    ChangesTree tree_{context_.Settings};
    LoggingView view_;
    AlwaysYes question_;
    std::string key_;
    std::string dir_;
    std::string shared_;
};

TEST_F(DezinstalerOnWindows, AnInstallationIsUndoneAndLogged) {
    char trashHome[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("XDG_DATA_HOME", trashHome, MAX_PATH);
    if (length == 0 || trashHome[0] != '/') GTEST_SKIP() << "not under Wine with XDG_DATA_HOME set";
    std::string trash = "Z:" + std::string(trashHome, length) + "/Trash/files/";
    for (char& c : trash) c = c == '/' ? '\\' : c;

    // The state before the installation.
    PutString(key_ + "\\Base", "Keep", "old");
    PutString(key_ + "\\Base", "Doomed", "gone soon");
    PutString(key_ + "\\Base\\Removed", "R", "5");
    const std::map<std::string, std::string> before = Registry();

    // The installation.
    PutString(key_ + "\\Base\\New\\Deeper", "D", "deep");
    PutString(key_ + "\\Base\\New", "N", "n");
    PutString(key_ + "\\Base", "Keep", "new");
    PutString(key_ + "\\Base", "Added", "added");
    {
        platform::RegKey base;
        ASSERT_EQ(wp_.registry.OpenKey(kCurrentUser, key_ + "\\Base", platform::kKeyAllAccess, base), 0);
        ASSERT_EQ(wp_.registry.DeleteValue(base, "Doomed"), 0);
    }
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, (key_ + "\\Base\\Removed").c_str()), ERROR_SUCCESS);
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\App").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\App\\Sub").c_str(), nullptr));
    const std::string tag = shared_.substr(shared_.rfind("shared-") + 7);
    const std::string readOnly = "ro-" + tag.substr(0, tag.size() - 4) + ".txt";
    const std::string plain = "plain-" + tag.substr(0, tag.size() - 4) + ".txt";
    WriteFile(dir_ + "\\App\\" + readOnly);
    ASSERT_TRUE(SetFileAttributesA((dir_ + "\\App\\" + readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    WriteFile(dir_ + "\\App\\Sub\\" + plain);
    WriteFile(shared_);
    {
        HKEY sharedKey;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, std::string(kSharedDllsKey).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &sharedKey, nullptr),
                  ERROR_SUCCESS);
        const DWORD one = 1;
        ASSERT_EQ(RegSetValueExA(sharedKey, shared_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
                  ERROR_SUCCESS);
        RegCloseKey(sharedKey);
    }

    // What the rescan would have recorded.
    const std::string base = key_ + "\\Base";
    Add(ckRegKeyCreated, base, "New");
    Add(ckRegValueCreated, base + "\\New", "N", REG_SZ, {}, std::string_view("n", 2));
    Add(ckRegKeyCreated, base + "\\New", "Deeper");
    Add(ckRegValueCreated, base + "\\New\\Deeper", "D", REG_SZ, {}, std::string_view("deep", 5));
    Add(ckRegValueCreated, base, "Added", REG_SZ, {}, std::string_view("added", 6));
    Add(ckRegValueChanged, base, "Keep", REG_SZ, std::string_view("old", 4), std::string_view("new", 4));
    Add(ckRegValueDeleted, base, "Doomed", REG_SZ, std::string_view("gone soon", 10));
    Add(ckRegKeyDeleted, base, "Removed");
    Add(ckRegValueDeleted, base + "\\Removed", "R", REG_SZ, std::string_view("5", 2));
    const DWORD one = 1;
    Add(ckSharedCounterIncremented, std::string(kSharedDllsKey), shared_, REG_DWORD, {},
        std::string_view(reinterpret_cast<const char*>(&one), 4));
    Add(ckFolderCreated, dir_, "App");
    Add(ckFolderCreated, dir_ + "\\App", "Sub");
    Add(ckFileCreated, dir_ + "\\App", readOnly, 0, {}, std::string_view("12:00 01/03/23 10", 18));
    Add(ckFileCreated, dir_ + "\\App\\Sub", plain, 0, {}, std::string_view("12:00 01/03/23 10", 18));
    Add(ckFileCreated, dir_ + "\\App", shared_.substr(shared_.rfind('\\') + 1), 0, {},
        std::string_view("12:00 01/03/23 10", 18));

    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Registry(), before);
    EXPECT_EQ(GetFileAttributesA((dir_ + "\\App").c_str()), INVALID_FILE_ATTRIBUTES);
    HKEY sharedKey;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kSharedDllsKey).c_str(), 0, KEY_READ, &sharedKey),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(sharedKey, shared_.c_str(), nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(sharedKey);
    EXPECT_EQ(question_.asked, std::vector<std::string>{shared_});

    // Every deleted file went into the Recycle Bin.
    const std::string sharedName = shared_.substr(shared_.rfind('\\') + 1);
    EXPECT_EQ(ReadAll(trash + readOnly), dir_ + "\\App\\" + readOnly);
    EXPECT_EQ(ReadAll(trash + sharedName), shared_);
    EXPECT_EQ(ReadAll(trash + plain), dir_ + "\\App\\Sub\\" + plain);
    for (const std::string& name : {readOnly, sharedName, plain}) {
        DeleteFileA((trash + name).c_str());
        DeleteFileA((trash.substr(0, trash.size() - 6) + "info\\" + name + ".trashinfo").c_str());
    }

    const std::string hkcu = "HKEY_CURRENT_USER\\" + base;
    const std::vector<std::string> lines{
        "DELETING REGISTRY VALUE: " + hkcu + "\\New\\Deeper\\D ... Ok",
        "DELETING REGISTRY VALUE: " + hkcu + "\\New\\N ... Ok",
        "DELETING REGISTRY VALUE: " + hkcu + "\\Added ... Ok",
        "DELETING REGISTRY KEY: " + hkcu + "\\New\\Deeper ... Ok",
        "DELETING REGISTRY KEY: " + hkcu + "\\New ... Ok",
        "RESTORING REGISTRY VALUE: " + hkcu + "\\Keep ... Ok",
        "CREATING REGISTRY KEY: " + hkcu + "\\Removed ... Ok",
        "CREATING REGISTRY VALUE: " + hkcu + "\\Removed\\R ... Ok",
        "CREATING REGISTRY VALUE: " + hkcu + "\\Doomed ... Ok",
        "DELETING FILE: " + dir_ + "\\App\\Sub\\" + plain + " ... Ok",
        "DELETING FILE: " + dir_ + "\\App\\" + readOnly + " ... Ok",
        "DELETING FILE: " + shared_ + " ... Ok",
        "UPDATING SHARED FILE COUNTER: " + shared_ + " ... Ok",
        "DELETE SHARED FILE: " + shared_ + " ... Ok",
        "DELETING FOLDER: " + dir_ + "\\App\\Sub ... Ok",
        "DELETING FOLDER: " + dir_ + "\\App ... Ok",
        "Uninstall complete without errors",
    };
    EXPECT_EQ(view_.log.Lines(), lines);

    ASSERT_EQ(WriteUninstallLog(wp_.files, context_.ProgramFolder, 7, "ScratchApp", "07/12/2026 10:15:00",
                                view_.log.Lines()),
              LogWriteResult::kWritten);
    std::string expected = "QOR log file\r\n============\r\n\r\n\r\nScratchApp 07/12/2026 10:15:00\r\n"
                           "---------------------------------------\r\n";
    for (const std::string& line : lines) expected += line + "\r\n";
    expected += "\r\n";
    EXPECT_EQ(ReadAll(context_.ProgramFolder + "\\Log.txt"), expected);
}

TEST_F(DezinstalerOnWindows, WithoutTheRecycleBinFilesGoForGood) {
    context_.Settings.UseRecycled = false;
    ASSERT_TRUE(CreateDirectoryA((dir_ + "\\App").c_str(), nullptr));
    WriteFile(dir_ + "\\App\\gone.txt");
    HANDLE held = CreateFileA((dir_ + "\\App\\held.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Add(ckFolderCreated, dir_, "App");
    Add(ckFileCreated, dir_ + "\\App", "gone.txt");
    Add(ckFileCreated, dir_ + "\\App", "held.txt");
    Add(ckFileCreated, dir_ + "\\App", "never.txt");

    EXPECT_EQ(Run(), 2);
    CloseHandle(held);
    EXPECT_EQ(view_.log.Lines(), (std::vector<std::string>{
                                     "DELETING FILE: " + dir_ + "\\App\\gone.txt ... Ok",
                                     "DELETING FILE: " + dir_ + "\\App\\held.txt ... ERROR (in use)",
                                     "DELETING FILE: " + dir_ + "\\App\\never.txt ... FAILS (not found)",
                                     "DELETING FOLDER: " + dir_ + "\\App ... ERROR (not empty)",
                                 }));
    EXPECT_EQ(GetFileAttributesA((dir_ + "\\App\\gone.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DezinstalerOnWindows, EveryValueTypeIsRestoredUnderItsOwnTypeInTheRealRegistry) {
    testing::ValueTypesRoundTrip run(wp_.platform, kCurrentUser, key_, context_.ProgramFolder);
    testing::PutValuesBefore(run);
    const auto before = run.Dump();
    EXPECT_EQ(run.MonitorAndUndo([&] { testing::Install(run); }), testing::ExpectedLines("HKEY_CURRENT_USER\\" + key_));
    EXPECT_EQ(run.Dump(), before);
}

}  // namespace
}  // namespace kelvora
