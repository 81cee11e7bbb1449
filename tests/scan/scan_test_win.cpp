// The scanning engine on the real registry and file system (under Wine): a
// scratch registry subtree, the shared-libraries key and scratch folders are
// scanned, changed as a setup would change them, rescanned and compared.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "platform/text.h"
#include "platform/win32/win32_platform_win.h"
#include "scan/compare_folders.h"
#include "scan/compare_keys.h"
#include "scan/db_tree.h"
#include "scan/folder_scan.h"
#include "scan/moved_files.h"
#include "scan/registry_scan.h"
#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "long_path_support.h"
#include "long_key_paths.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using testing::Dword;

const std::string kScratchKey = "Software\\KelvoraScanTest";
const std::string kSharedParent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::string kSharedKey = kSharedParent + "\\SharedDLLs";
const std::string kUnicodeKey = "\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87 \xF0\x9F\x8C\x8D";  // "Ключ 🌍"

class ScanWinTest : public ::testing::Test {
protected:
    ScanWinTest() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        scratch = std::string(temp) + "KelvoraScanTest";
        RemoveScratch();
        files.CreateFolder(scratch);
        // Paths as the current directory reports them: long names.
        scratch = files.LongPathName(scratch);
        files.CreateFolder(scratch + "\\Program");
        files.CreateFolder(scratch + "\\Data");
        config.ProgramFolder = scratch + "\\Program";
        config.Settings.ExcludedFolders.Add(config.ProgramFolder);
        config.Settings.ScanEntire = config.Settings.ScanWin = config.Settings.ScanProg = false;
        config.Settings.ScanOthers = true;
        config.Settings.ScanOtherPaths = scratch + "\\Data";
        files.SetCurrentDir(config.ProgramFolder);
        sharedFile = scratch + "\\Data\\shared.dll";
    }
    ~ScanWinTest() override {
        files.SetCurrentDir(scratch + "\\..");
        RemoveScratch();
    }

    void RemoveScratch() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey.c_str());
        HKEY shared;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedKey.c_str(), 0, KEY_SET_VALUE, &shared) == ERROR_SUCCESS) {
            RegDeleteValueA(shared, sharedFile.c_str());
            RegCloseKey(shared);
        }
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(scratch), ignored);
    }

    void Put(platform::RootKey root, const std::string& path, const std::string& name, std::uint32_t type,
             const std::vector<std::uint8_t>& data) {
        platform::RegKey key;
        ASSERT_EQ(registry.CreateKey(root, path, key), 0) << path;
        ASSERT_EQ(registry.SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
    }
    void PutText(const std::string& path, const std::string& name, const std::string& text) {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        Put(kCurrentUser, kScratchKey + path, name, platform::kRegSz, data);
    }
    void WriteFile(const std::string& path, std::size_t size) {
        const std::vector<std::uint8_t> data(size, 'k');
        ASSERT_TRUE(files.WriteFile(path, data.data(), data.size())) << path;
    }

    platform::win32::Win32Platform win32;
    platform::Registry& registry = win32.registry;
    platform::FileSystem& files = win32.files;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{registry, files, config, context.WizardState, worker};
    testing::RecordingSink sink;
    std::string scratch;
    std::string sharedFile;
};

TEST_F(ScanWinTest, RescanFindsEveryChangeASetupMakes) {
    // Before the installation.
    PutText("\\Keep", "same", "x");
    PutText("\\Keep", "changed", "old");
    Put(kCurrentUser, kScratchKey + "\\Keep", "gone", platform::kRegDword, Dword(3));
    PutText("\\ToDelete", "v", "d");
    Put(kCurrentUser, kScratchKey + "\\ToDelete\\Sub", "w", platform::kRegDword, Dword(1));
    files.CreateFolder(scratch + "\\Data\\A");
    files.CreateFolder(scratch + "\\Data\\B");
    WriteFile(scratch + "\\Data\\A\\moved.txt", 321);
    WriteFile(sharedFile, 10);
    Put(kLocalMachine, kSharedKey, sharedFile, platform::kRegDword, Dword(1));

    TDBTree dbTree = TDBTree::CreateEmpty(config.ProgramFolder, "HKCU");
    ScanKey(env, kCurrentUser, kScratchKey, dbTree);
    dbTree.Save(files);
    const SnapshotTree sharedBefore = ReadKey(env, kLocalMachine, "SharedDLLs", kSharedKey);
    ScanFileSystem(env);

    // The installation.
    PutText("\\Keep", "changed", "new");
    platform::RegKey keep;
    ASSERT_EQ(registry.OpenKey(kCurrentUser, kScratchKey + "\\Keep", platform::kKeyAllAccess, keep), 0);
    ASSERT_EQ(registry.DeleteValue(keep, "gone"), 0);
    std::vector<std::uint8_t> big(5000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i % 251);
    Put(kCurrentUser, kScratchKey + "\\Keep", "big", platform::kRegBinary, big);
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, (kScratchKey + "\\ToDelete").c_str()), ERROR_SUCCESS);
    Put(kCurrentUser, kScratchKey + "\\New", "n", platform::kRegDword, Dword(7));
    PutText("\\" + kUnicodeKey, "\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC");  // "été" = "€"
    ASSERT_TRUE(files.Rename(scratch + "\\Data\\A\\moved.txt", scratch + "\\Data\\B\\moved.txt"));
    WriteFile(scratch + "\\Data\\B\\new.txt", 5);
    Put(kLocalMachine, kSharedKey, sharedFile, platform::kRegDword, Dword(2));

    // The rescan, registry: the snapshot's tree holds the scratch key's path.
    const SnapshotTree oldTree = LoadSnapshot(files, config.ProgramFolder, "HKCU", context.WizardState, worker);
    const TNode* oldNode = testing::FindKey(oldTree.Root, kScratchKey);
    ASSERT_NE(oldNode, nullptr);
    const SnapshotTree newTree = ReadKey(env, kCurrentUser, "KelvoraScanTest", kScratchKey);
    CompareKeys(env, sink, newTree.Root, oldNode, "Software", kCurrentUser, false);
    CompareKeys(env, sink, oldNode, newTree.Root, "Software", kCurrentUser, true);
    const SnapshotTree sharedAfter = ReadKey(env, kLocalMachine, "SharedDLLs", kSharedKey);
    CompareKeys(env, sink, sharedAfter.Root, sharedBefore.Root, kSharedParent, kLocalMachine, false);
    CompareKeys(env, sink, sharedBefore.Root, sharedAfter.Root, kSharedParent, kLocalMachine, true);

    // File system.
    ASSERT_TRUE(files.Rename("FIS2.SNS", "FIS1.SNS"));
    ScanFileSystem(env);
    ChangesTree tree(config.Settings);
    tree.StartFill(false);
    {
        const SnapshotTree oldFiles = LoadSnapshot(files, config.ProgramFolder, "FIS1", context.WizardState, worker);
        const SnapshotTree newFiles = LoadSnapshot(files, config.ProgramFolder, "FIS2", context.WizardState, worker);
        ChangesTreeSink treeSink(tree);
        CompareFolders(env, treeSink, newFiles.Root, oldFiles.Root, {}, false);
        CompareFolders(env, treeSink, oldFiles.Root, newFiles.Root, {}, true);
    }
    DetectMoved(env, tree);
    EXPECT_FALSE(files.Exists("FIS1.SNS"));
    EXPECT_FALSE(files.Exists("FIS2.SNS"));
    EXPECT_FALSE(files.Exists("HKCU.SNS"));

    const std::string user = "HKEY_CURRENT_USER\\" + kScratchKey;
    std::map<std::string, const TNodeData*> found;
    for (const auto& entry : sink.entries) found[std::to_string(entry.record.Kind) + " " + entry.placement + "|" + entry.name] = &entry.record;
    std::vector<std::string> lines;
    for (const auto& [line, record] : found) lines.push_back(line);
    const std::string data = scratch + "\\Data";
    std::vector<std::string> expected = {
        "1 " + user + "|New",
        "3 " + user + "\\New|n",
        "1 " + user + "|" + kUnicodeKey,
        "3 " + user + "\\" + kUnicodeKey + "|\xC3\xA9t\xC3\xA9",
        "4 " + user + "\\Keep|changed",
        "3 " + user + "\\Keep|big",
        "5 " + user + "\\Keep|gone",
        "2 " + user + "|ToDelete",
        "5 " + user + "\\ToDelete|v",
        "2 " + user + "\\ToDelete|Sub",
        "5 " + user + "\\ToDelete\\Sub|w",
        "6 HKEY_LOCAL_MACHINE\\" + kSharedKey + "|" + sharedFile,
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(sink.entries.size(), expected.size());

    const TNodeData& changed = *found["4 " + user + "\\Keep|changed"];
    EXPECT_EQ(std::string(changed.OldText()), "old");
    EXPECT_EQ(std::string(changed.NewText()), "new");
    EXPECT_EQ(changed.Path, kScratchKey + "\\Keep");
    EXPECT_EQ(testing::NewBytes(*found["3 " + user + "\\Keep|big"]), big);
    EXPECT_EQ(testing::OldBytes(*found["5 " + user + "\\Keep|gone"]), Dword(3));
    EXPECT_EQ(found["2 " + user + "|ToDelete"]->Path, kScratchKey);
    EXPECT_EQ(std::string(found["3 " + user + "\\" + kUnicodeKey + "|\xC3\xA9t\xC3\xA9"]->NewText()), "\xE2\x82\xAC");
    const TNodeData& counter = *found["6 HKEY_LOCAL_MACHINE\\" + kSharedKey + "|" + sharedFile];
    EXPECT_EQ(testing::OldBytes(counter), Dword(1));
    EXPECT_EQ(testing::NewBytes(counter), Dword(1));
    EXPECT_EQ(counter.RootKey, kLocalMachine);

    std::vector<std::string> fileLines = testing::TreeLines(tree);
    std::sort(fileLines.begin(), fileLines.end());
    EXPECT_EQ(fileLines, (std::vector<std::string>{"12 " + data + "\\A\\moved.txt", "13 " + data + "\\B\\moved.txt",
                                                   "9 " + data + "\\B\\new.txt"}));
    // Both places of the moved file keep its time-and-size text.
    const ChangesTree::Access access = tree.Lock();
    std::map<int, std::string> texts;
    std::vector<NodeId> pending{access.FileSystem()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        const TNodeData& record = access.Data(node);
        if (record.Kind == ckFileMovedFrom) texts[12] = std::string(record.OldText());
        if (record.Kind == ckFileMovedTo) texts[13] = std::string(record.NewText());
        if (record.Kind == ckFileMovedFrom) {
            EXPECT_EQ(record.Path, data + "\\A");
        }
        for (NodeId child = access.FirstChild(node); child != kNoNode; child = access.NextSibling(child)) {
            pending.push_back(child);
        }
    }
    EXPECT_EQ(texts[12].substr(texts[12].rfind(' ') + 1), "321");
    EXPECT_EQ(texts[13], texts[12]);
}

// Folders far beyond MAX_PATH on the real file system: the scan, the rescan
// and the uninstall reach them at their real paths, and the Recycle Bin,
// which takes no path that long, takes the items by their short paths.
TEST_F(ScanWinTest, FoldersBeyondMaxPathAreScannedAndUndoneAtTheirRealPaths) {
    const std::string base = scratch + "\\Deep";
    ASSERT_TRUE(files.CreateFolder(base));
    platform::Dispatcher dispatcher;
    testing::MonitorBeyondMaxPath(win32.platform, dispatcher, base, config.ProgramFolder, true);
    const std::string user = testing::MakeDeepFolders(files, base, false).at1000 + "\\user.txt";
    EXPECT_TRUE(win32.shell.DeleteToRecycleBin(user));
    EXPECT_FALSE(files.Exists(user));
    testing::RemoveDeepFolders(files, base);
}

TEST_F(ScanWinTest, KeysBeyondTheLengthOfOneRegistryCallAreScannedAndUndone) {
    testing::ScanAndUndoDeepKeys(env, kCurrentUser, kScratchKey + "\\Deep");
}

// Four workers write the same snapshot files as one, byte for byte, and
// their rescans find the same changes, on the real registry and file
// system: classes, the current user's keys (the scratch key among them),
// the current configuration and the scratch folders. Each run keeps its
// snapshots in a program folder of its own, both excluded.
TEST_F(ScanWinTest, OneAndFourWorkersWriteTheSameSnapshotsAndFindTheSameChanges) {
    testing::NeverStopped running;
    for (int i = 0; i < 300; ++i) PutText(testing::Numbered("\\Many\\K", i % 30), testing::Numbered("v", i), "x");
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(files.CreateFolder(scratch + testing::Numbered("\\Data\\f", i)));
    for (int i = 0; i < 40; ++i) WriteFile(scratch + testing::Numbered("\\Data\\f", i % 8) + testing::Numbered("\\g", i), 10);
    TSettings& s = config.Settings;
    s.ScanHKCR = s.ScanHKCU = s.ScanHKCC = true;
    s.ScanHKLM = s.ScanHKUS = false;
    ScanConfig runs[2] = {config, config};
    for (int run = 0; run < 2; ++run) {
        runs[run].Workers = run == 0 ? 1 : 4;
        runs[run].ProgramFolder = scratch + (run == 0 ? "\\One" : "\\Four");
        ASSERT_TRUE(files.CreateFolder(runs[run].ProgramFolder));
        for (ScanConfig& each : runs) each.Settings.ExcludedFolders.Add(runs[run].ProgramFolder);
    }
    std::map<std::string, std::vector<std::uint8_t>> written[2];
    for (int run = 0; run < 2; ++run) {
        ScanEnv scan{registry, files, runs[run], context.WizardState, running};
        testing::RecordingReporter reporter;
        ASSERT_EQ(ExecuteScan(scan, reporter), TWorkEnd::Completed);
        EXPECT_EQ(reporter.steps, 4);
        for (const char* name : {"HKCR.sns", "HKCU.sns", "HKCC.sns", "FIS2.sns"}) {
            ASSERT_TRUE(files.ReadFile(FileInFolder(runs[run].ProgramFolder, name), written[run][name])) << name;
        }
    }
    EXPECT_GT(written[0]["HKCU.sns"].size(), 3000u);
    for (const auto& [name, bytes] : written[0]) EXPECT_TRUE(bytes == written[1][name]) << name;

    PutText("\\Many\\K3", "added", "y");
    PutText("\\Many\\New", "n", "z");
    WriteFile(scratch + "\\Data\\f2\\new.txt", 5);
    std::vector<std::string> found[2];
    for (int run = 0; run < 2; ++run) {
        ScanEnv rescan{registry, files, runs[run], context.WizardState, running};
        testing::RecordingReporter reporter;
        ChangesTree tree(runs[run].Settings);
        tree.StartFill(false);
        ASSERT_EQ(ExecuteRescan(rescan, reporter, tree, [&](std::string_view name) {
                      return LoadSnapshot(files, runs[run].ProgramFolder, name, context.WizardState, running);
                  }), TWorkEnd::Completed);
        found[run] = testing::TreeLines(tree);
    }
    EXPECT_GE(found[0].size(), 3u);
    EXPECT_EQ(found[0], found[1]);
}

}  // namespace
}  // namespace kelvora
