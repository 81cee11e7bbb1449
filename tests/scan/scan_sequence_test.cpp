#include "scan/scan_sequence.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "scan/db_tree.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;

class ScanSequenceTest : public ::testing::Test {
protected:
    ScanSequenceTest() {
        memory.files.AddFolder("C:\\Kelvora");
        memory.files.AddFile("C:\\Windows\\a.dll", "aaaa");
        memory.files.AddFile("C:\\Windows\\System\\b.dll", "bb");
        memory.files.AddFolder("C:\\Program Files\\App");
        memory.registry.PutString(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                                  "C:\\Program Files");
        memory.registry.PutDword(kCurrentUser, "Software\\Old", "v", 1);
        for (int i = 0; i < 10; ++i) {
            memory.registry.PutString(platform::kClassesRoot, testing::Numbered(".ext", i), "", "type");
        }
        testing::UseFoldersOnDriveC(config);
        TSettings& s = config.Settings;
        s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCU = s.ScanHKCC = true;
        s.ScanEntire = false;
        s.ScanWin = s.ScanProg = true;
        memory.files.SetCurrentDir("D:\\");
    }

    TWorkEnd Rescan() {
        return ExecuteRescan(env, reporter, tree, [this](std::string_view name) {
            return LoadSnapshot(memory.files, config.ProgramFolder, name, context.WizardState, worker);
        });
    }
    bool Snapshot(std::string_view name) { return memory.files.FileExists("C:\\Kelvora\\" + std::string(name)); }

    platform::memory::MemoryPlatform memory;
    AppContext context;
    testing::StoppableWorker worker{context};
    ScanConfig config;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, worker};
    testing::RecordingReporter reporter;
    ChangesTree tree{config.Settings};
};

TEST_F(ScanSequenceTest, FullRunShowsEveryStatusFillsTheBarAndReportsTheChanges) {
    EXPECT_EQ(ExecuteScan(env, reporter), TWorkEnd::Completed);
    EXPECT_EQ(reporter.steps, 6);
    EXPECT_EQ(reporter.statuses, (std::vector<std::string>{
                                     "Scanning registry category: HKEY_CLASSES_ROOT ...",
                                     "Scanning registry category: HKEY_LOCAL_MACHINE ...",
                                     "Scanning registry category: HKEY_USERS ...",
                                     "Scanning registry category: HKEY_CURRENT_USER ...",
                                     "Scanning registry category: HKEY_CURRENT_CONFIG ...",
                                     "Scanning file system ...",
                                 }));
    for (const char* name : {"HKCR.SNS", "HKLM.SNS", "HKUS.SNS", "HKCU.SNS", "HKCC.SNS", "FIS2.SNS"}) {
        EXPECT_TRUE(Snapshot(name)) << name;
    }

    // The installation: a key, a file moved to another folder, a new file.
    memory.registry.PutString(kCurrentUser, "Software\\New", "v", "x");
    ASSERT_TRUE(memory.files.Rename("C:\\Windows\\a.dll", "C:\\Program Files\\App\\a.dll"));
    memory.files.AddFile("C:\\Windows\\System\\c.dll", "c");

    reporter = {};
    memory.files.SetCurrentDir("D:\\");
    tree.StartFill(false);
    EXPECT_EQ(Rescan(), TWorkEnd::Completed);
    EXPECT_EQ(reporter.steps, 24);
    ASSERT_EQ(reporter.statuses.size(), 13u);
    EXPECT_EQ(reporter.statuses[2], "Scanning registry category: HKEY_LOCAL_MACHINE ...");
    EXPECT_EQ(reporter.statuses[3], "Searching changes from category: HKEY_LOCAL_MACHINE ...");
    EXPECT_EQ(reporter.statuses[10], "Scanning file system ...");
    EXPECT_EQ(reporter.statuses[11], "Searching changes from file system ...");
    EXPECT_EQ(reporter.statuses[12], "Detecting moved files ...");
    EXPECT_EQ(testing::TreeLines(tree), (std::vector<std::string>{
                                            "9 C:\\Windows\\System\\c.dll",
                                            "12 C:\\Windows\\a.dll",
                                            "13 C:\\Program Files\\App\\a.dll",
                                            "1 HKEY_CURRENT_USER\\Software\\New",
                                            "3 HKEY_CURRENT_USER\\Software\\New\\v",
                                        }));
    for (const char* name : {"HKCR.SNS", "HKLM.SNS", "HKUS.SNS", "HKCU.SNS", "HKCC.SNS", "FIS1.SNS", "FIS2.SNS"}) {
        EXPECT_FALSE(Snapshot(name)) << name;
    }
    EXPECT_EQ(memory.files.GetCurrentDir(), "D:\\");  // never used, never moved
}

TEST_F(ScanSequenceTest, OnlyOneKindOfTargetRunsOnlyItsSteps) {
    TSettings& s = config.Settings;
    s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCC = false;
    s.ScanWin = s.ScanProg = false;
    ExecuteScan(env, reporter);
    EXPECT_EQ(reporter.steps, 1);
    EXPECT_FALSE(Snapshot("FIS2.SNS"));
    memory.files.AddFile("C:\\Kelvora\\FIS2.SNS", "unrelated");
    EXPECT_EQ(Rescan(), TWorkEnd::Completed);
    EXPECT_EQ(reporter.steps, 5);
    EXPECT_EQ(memory.files.Text("C:\\Kelvora\\FIS2.SNS"), "unrelated");

    s.ScanHKCU = false;
    s.ScanWin = true;
    reporter = {};
    ExecuteScan(env, reporter);
    EXPECT_EQ(reporter.statuses, (std::vector<std::string>{"Scanning file system ..."}));
    Rescan();
    EXPECT_EQ(reporter.steps, 5);
    EXPECT_EQ(reporter.statuses.size(), 4u);
}

TEST_F(ScanSequenceTest, AnEmptyTargetThatGainsFilesIsNotReportedAsCreated) {
    // The installation writes into a target folder that was empty before:
    // only the file is new, never the folder or its drive (undoing that
    // would delete a folder the user had).
    TSettings& s = config.Settings;
    s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCU = s.ScanHKCC = false;
    s.ScanWin = s.ScanProg = false;
    s.ScanOthers = true;
    s.ScanOtherPaths = "D:\\Tools;C:\\";
    memory.files.AddFolder("D:\\Tools");
    memory.files.AddFolder("C:\\Empty");
    ExecuteScan(env, reporter);
    memory.files.AddFile("D:\\Tools\\new.exe", "n");
    memory.files.AddFile("C:\\Empty\\x.txt", "x");
    tree.StartFill(false);
    Rescan();
    EXPECT_EQ(testing::TreeLines(tree), (std::vector<std::string>{
                                            "9 D:\\Tools\\new.exe",
                                            "9 C:\\Empty\\x.txt",
                                        }));
}

TEST_F(ScanSequenceTest, StopWhileASnapshotLoadsLeavesWithoutFurtherSteps) {
    ExecuteScan(env, reporter);
    reporter = {};
    worker.stopAfter = worker.pausePoints + 3;  // inside the first snapshot's load
    EXPECT_EQ(Rescan(), TWorkEnd::Stopped);
    EXPECT_EQ(reporter.steps, 0);
    EXPECT_EQ(reporter.statuses.size(), 1u);
    EXPECT_FALSE(Snapshot("HKCR.SNS"));
    EXPECT_TRUE(Snapshot("HKLM.SNS"));
}

// A stop at any pause point, status or step of either scan ends the run as
// stopped, never as complete: a rescan that went on as complete after a stop
// in its moved-file detection would be saved with moved files left as
// created (checked for deletion) and deleted.
TEST_F(ScanSequenceTest, AStopAnywhereEndsEitherScanAsStopped) {
    reporter.worker = &worker;
    TWorkEnd end = TWorkEnd::Stopped;
    const auto stopScanAt = [&](long event) {
        worker.Reset();
        worker.stopAtEvent = event;
        end = ExecuteScan(env, reporter);
        return worker.events;
    };
    const long scanEvents = stopScanAt(-1);
    ASSERT_EQ(end, TWorkEnd::Completed);
    for (long event = 1; event <= scanEvents; ++event) {
        stopScanAt(event);
        ASSERT_EQ(end, TWorkEnd::Stopped) << "first scan, event " << event;
    }

    stopScanAt(-1);
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> snapshots;
    memory.files.List("C:\\Kelvora\\*.SNS", [&](const platform::FindEntry& entry) {
        snapshots.emplace_back("C:\\Kelvora\\" + entry.name, std::vector<std::uint8_t>());
        return true;
    });
    for (auto& [path, bytes] : snapshots) ASSERT_TRUE(memory.files.ReadFile(path, bytes));
    ASSERT_TRUE(memory.files.Rename("C:\\Windows\\a.dll", "C:\\Program Files\\App\\a.dll"));
    const auto stopRescanAt = [&](long event) {
        for (const auto& [path, bytes] : snapshots) memory.files.WriteFile(path, bytes.data(), bytes.size());
        worker.Reset();
        worker.stopAtEvent = event;
        ChangesTree changes{config.Settings};
        changes.StartFill(false);
        end = ExecuteRescan(env, reporter, changes, [this](std::string_view name) {
            return LoadSnapshot(memory.files, config.ProgramFolder, name, context.WizardState, worker);
        });
        return worker.events;
    };
    const long rescanEvents = stopRescanAt(-1);
    ASSERT_EQ(end, TWorkEnd::Completed);
    for (long event = 1; event <= rescanEvents; ++event) {
        stopRescanAt(event);
        ASSERT_EQ(end, TWorkEnd::Stopped) << "rescan, event " << event;
    }
}

TEST_F(ScanSequenceTest, StopDuringTheFirstScanKeepsWhatTheCategoryHolds) {
    worker.stopAfter = 2;
    EXPECT_EQ(ExecuteScan(env, reporter), TWorkEnd::Stopped);
    EXPECT_EQ(reporter.steps, 0);
    EXPECT_TRUE(Snapshot("HKCR.SNS"));
    EXPECT_FALSE(Snapshot("HKLM.SNS"));
}

TEST_F(ScanSequenceTest, VanishedSnapshotOrFullDiskEndTheRunWithAnError) {
    ExecuteScan(env, reporter);
    ASSERT_TRUE(memory.files.DeleteFile("C:\\Kelvora\\HKLM.SNS"));
    EXPECT_THROW(Rescan(), SnapshotFileError);

    memory.files.SetDiskFull(true);
    EXPECT_THROW(ExecuteScan(env, reporter), SnapshotFileError);
}

}  // namespace
}  // namespace kelvora
