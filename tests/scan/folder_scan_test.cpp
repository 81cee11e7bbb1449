#include "scan/folder_scan.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "long_path_support.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using testing::Flatten;

class FolderScanTest : public ::testing::Test {
protected:
    FolderScanTest() {
        memory.files.AddFolder("C:\\Kelvora");
        memory.files.SetCurrentDir("C:\\Kelvora");
        config.ProgramFolder = "C:\\Kelvora";
        config.WindowsFolder = "C:\\Windows";
        config.SystemDriveRoot = "C:\\";
        config.Settings.ExcludedFolders.Add("C:\\Kelvora");
        config.Settings.ScanEntire = false;
        config.Settings.ScanWin = false;
        config.Settings.ScanProg = false;
        config.Settings.ScanOthers = false;
    }

    std::vector<std::string> ScanAndLoad() {
        ScanFileSystem(env);
        EXPECT_EQ(memory.files.GetCurrentDir(), "C:\\Kelvora");
        return Flatten(LoadSnapshot(memory.files, config.ProgramFolder, "FIS2", context.WizardState, worker));
    }

    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, worker};
};

TEST_F(FolderScanTest, WholeDriveRecordsRootFilesUnderTheDriveAndSkipsWhatItMust) {
    memory.files.AddFile("C:\\boot.ini", "12345");
    memory.files.AddFile("C:\\Windows\\win.ini", "x");
    memory.files.AddFile("C:\\Kelvora\\HKLM.SNS", "old");           // excluded: the program's folder
    memory.files.AddFile("C:\\Link\\inside.txt", "x");              // a junction: recorded, not followed
    memory.files.AddFile("C:\\Locked\\secret.txt", "x");            // cannot be read: an unreadable record
    memory.files.AddFile("C:\\Huge\\big.bin");
    memory.files.AddFile("D:\\Program Files\\App\\app.exe", "x");   // another drive: not scanned
    ASSERT_TRUE(memory.files.MarkReparsePoint("C:\\Link"));
    ASSERT_TRUE(memory.files.SetAccessible("C:\\Locked", false));
    ASSERT_TRUE(memory.files.SetFileSize("C:\\Huge\\big.bin", 5ull << 30));
    memory.registry.PutString(platform::kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                              "ProgramFilesDir", "D:\\Program Files");
    config.Settings.ScanEntire = true;
    config.Settings.ScanWin = true;
    config.Settings.ScanProg = true;

    std::vector<std::string> items = ScanAndLoad();
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"C:", "C:\\Huge", "C:\\Huge|big.bin|3|8", "C:\\Kelvora", "C:\\Link",
                                               "C:\\Locked (unreadable)", "C:\\Windows", "C:\\Windows|win.ini|3|8",
                                               "C:|boot.ini|3|8"}));
    // 5 GiB: the low 32 bits of the size are 1 GiB.
    const SnapshotTree again = [&] {
        ScanFileSystem(env);
        return LoadSnapshot(memory.files, config.ProgramFolder, "FIS2", context.WizardState, worker);
    }();
    const TNode* huge = again.Root->FirstChild;
    while (huge != nullptr && huge->Name() != "Huge") huge = huge->NextSibling;
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(huge->Values->Data() + 4, huge->Values->Data() + 8),
              (std::vector<std::uint8_t>{0, 0, 0, 0x40}));
}

TEST_F(FolderScanTest, ProgramFilesCoversBothFoldersOf64BitWindowsOnceEach) {
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion";
    memory.registry.PutString(platform::kLocalMachine, key, "ProgramFilesDir", "C:\\Program Files");
    memory.registry.PutString(platform::kLocalMachine, key, "ProgramFilesDir (x86)", "C:\\Program Files (x86)");
    memory.files.AddFile("C:\\Program Files\\a.exe", "x");
    memory.files.AddFile("C:\\Program Files (x86)\\b.exe", "x");
    config.Settings.ScanProg = true;
    EXPECT_EQ(ScanAndLoad(), (std::vector<std::string>{"C:", "C:\\Program Files", "C:\\Program Files|a.exe|3|8",
                                                       "C:\\Program Files (x86)",
                                                       "C:\\Program Files (x86)|b.exe|3|8"}));
    memory.registry.PutString(platform::kLocalMachine, key, "ProgramFilesDir (x86)", "c:\\program files\\");
    EXPECT_EQ(ScanAndLoad().size(), 3u);
}

TEST_F(FolderScanTest, OtherPathsEndAtTheFirstEmptyOrMissingItem) {
    memory.files.AddDrive('E');
    memory.files.AddFile("D:\\A\\a.txt", "x");
    memory.files.AddFile("E:\\B\\b.txt", "x");
    config.Settings.ScanOthers = true;
    config.Settings.ScanOtherPaths = "D:\\A;;E:\\B";
    EXPECT_EQ(ScanAndLoad(), (std::vector<std::string>{"D:", "D:\\A", "D:\\A|a.txt|3|8"}));
    config.Settings.ScanOtherPaths = "D:\\Missing;E:\\B";
    EXPECT_TRUE(ScanAndLoad().empty());
    config.Settings.ScanOtherPaths = "D:\\A;E:\\B";
    EXPECT_EQ(ScanAndLoad().size(), 6u);
}

// One chain of folders named "d" below C:\, as deep as asked, with one file
// in the deepest; nothing else can be done with it.
class FolderChain final : public platform::FileSystem {
public:
    explicit FolderChain(std::size_t depth) : depth_(depth) {}
    bool List(std::string_view pattern, const std::function<bool(const platform::FindEntry&)>& each) override {
        // "C:" + "\\d" per level + "\\*.*"
        const std::size_t level = (pattern.size() - 6) / 2;
        each(level < depth_ ? platform::FindEntry{"d", platform::kAttrDirectory}
                            : platform::FindEntry{"f.txt", platform::kAttrArchive});
        return true;
    }
    std::uint32_t GetAttributes(std::string_view) override { return platform::kAttrDirectory; }
    std::string GetCurrentDir() override { return {}; }
    bool SetCurrentDir(std::string_view) override { return false; }
    bool SetAttributes(std::string_view, std::uint32_t) override { return false; }
    bool Rename(std::string_view, std::string_view) override { return false; }
    bool DeleteFile(std::string_view) override { return false; }
    bool CreateFolder(std::string_view) override { return false; }
    bool RemoveFolder(std::string_view) override { return false; }
    std::string LongPathName(std::string_view path) override { return std::string(path); }
    std::string FullPathName(std::string_view path) override { return std::string(path); }
    std::string WindowsFolder() override { return {}; }
    bool ReadFile(std::string_view, std::vector<std::uint8_t>&) override { return false; }
    bool WriteFile(std::string_view, const std::uint8_t*, std::size_t) override { return false; }
    bool WriteFileAtomic(std::string_view, const std::uint8_t*, std::size_t) override { return false; }
    std::unique_ptr<platform::FileWriter> CreateFileWriter(std::string_view) override { return nullptr; }
    long LastError() override { return 0; }

private:
    std::size_t depth_;
};

// The walk keeps its own stack: a tree 10,000 folders deep (a path of 20,000
// characters) scans on a thread with a small stack.
TEST_F(FolderScanTest, ADeepTreeScansOnASmallStack) {
    FolderChain chain(10000);
    ScanEnv chainEnv{memory.registry, chain, config, context.WizardState, worker};
    TDBTree dbTree = TDBTree::CreateEmpty("C:\\Kelvora", "FIS2");
    testing::RunOnSmallStack([&] { ScanFolder(chainEnv, "C:\\", dbTree); });
    std::string path;
    std::string name;
    long records = 0;
    for (dbTree.ReadHeader(path); !dbTree.EndOfData(); dbTree.ReadHeader(path), ++records) dbTree.ReadName(name);
    EXPECT_EQ(records, 10002);  // C:, every folder, the file
    EXPECT_EQ(path, "d");
    EXPECT_EQ(name, "f.txt");
}

TEST_F(FolderScanTest, FullDiskEndsTheScanWithAnErrorAndTheDirectoryBack) {
    memory.files.AddFile("C:\\Windows\\win.ini", "x");
    config.Settings.ScanWin = true;
    memory.files.SetDiskFull(true);
    EXPECT_THROW(ScanFileSystem(env), SnapshotFileError);
    EXPECT_EQ(memory.files.GetCurrentDir(), "C:\\Kelvora");
}

// Folders beyond MAX_PATH can be entered, but the current directory cannot
// be read back there: a walk that read it would record their content at the
// drive's root, and the uninstall would then delete a user's files there.
TEST(FolderScanBeyondMaxPath, ScanRescanAndUninstallWorkAtTheRealPaths) {
    platform::memory::MemoryPlatform memory;
    platform::Dispatcher dispatcher;
    memory.files.AddFolder("C:\\Kelvora");
    memory.files.AddFolder("C:\\Deep");
    memory.files.AddFile("C:\\user.txt", "mine");
    testing::MonitorBeyondMaxPath(memory.platform, dispatcher, "C:\\Deep", "C:\\Kelvora", true);
    EXPECT_TRUE(memory.files.FileExists("C:\\user.txt"));
}

}  // namespace
}  // namespace kelvora
