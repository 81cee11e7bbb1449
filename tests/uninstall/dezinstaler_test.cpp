#include "uninstall/dezinstaler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "changes/chg_archive.h"
#include "platform/memory/memory_platform.h"
#include "uninstall/uninstall_log.h"
#include "tree_order_everywhere.h"
#include "value_types_round_trip.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::kLocalMachine;
using platform::memory::MemoryPlatform;

struct RecordingView : IUninstallView {
    std::vector<std::string> statuses;
    std::vector<std::string> lines;  // every line, with its level in front
    int maximum = -1;
    int steps = 0;
    std::function<void(const std::string&)> onLine;
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressMax(int max) override { maximum = max; }
    void StepProgress() override { ++steps; }
    void ShowLogLine(const std::string& line, std::int32_t level) override {
        lines.push_back(std::to_string(level) + " " + line);
        if (onLine) onLine(line);
    }
};

struct Answers : IRemoveSharedQuestion {
    int answer = kAnswerYes;
    int asked = 0;
    int AskRemoveShared(const std::string&, const std::string&) override {
        ++asked;
        return answer;
    }
};

std::vector<std::uint8_t> Dword(std::int32_t n) {
    std::vector<std::uint8_t> data(4);
    std::memcpy(data.data(), &n, 4);
    return data;
}

class UninstallWorker : public ::testing::Test {
protected:
    UninstallWorker() {
        context.ProgramFolder = "C:\\Kelvora";
        context.AppIdentifier = "MyApp";
        MakeArchive();
        tree.StartFill(true);
    }

    void MakeArchive() {
        EXPECT_TRUE(os.files.AddFolder("C:\\Kelvora"));
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\MyApp");
        archive.CreateNew();
        archive.Save();
    }
    // The archive's use count, or -1 when it is gone.
    int UseCount() {
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\MyApp");
        TChgHeader header;
        if (!archive.Open() || !archive.GetHeader(header)) return -1;
        EXPECT_EQ(header.LastUsed, header.UseCount > 0 ? os.clock.Now() : 0.0);
        return header.UseCount;
    }

    // Places a record as the archive loader does, counting it.
    void Add(TChangeKind kind, std::uint32_t root, std::string path, std::string name,
             std::uint32_t valueType = 0, std::vector<std::uint8_t> oldData = {},
             std::vector<std::uint8_t> newData = {}) {
        TNodeData rec;
        rec.Kind = kind;
        rec.RootKey = root;
        rec.Path = path;
        rec.ValueType = static_cast<std::int32_t>(valueType);
        if (!oldData.empty()) rec.SetOld(oldData.data(), oldData.size());
        if (!newData.empty()) rec.SetNew(newData.data(), newData.size());
        std::string placement = IsRegistryKind(kind) ? std::string(RootKeyName(root)) + "\\" + path : path;
        ++context.LoadedCounts[kind];
        tree.AddToTree(placement, name, std::move(rec));
    }
    void AddFile(std::string path, std::string name) {
        TNodeData rec;
        rec.Kind = ckFileCreated;
        rec.Path = path;
        rec.SetNewText("12:00 01/03/23 1");
        ++context.LoadedCounts[ckFileCreated];
        tree.AddToTree(path, name, std::move(rec));
    }

    std::int32_t Run() {
        TDezinstaler worker(UninstallServices{os.platform, dispatcher, context, tree, view, question});
        bool ended = false;
        worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker.Start();
        dispatcher.ServeUntil([&] { return ended; });
        EXPECT_EQ(worker.FatalException(), nullptr);
        return worker.ErrorCount();
    }

    void AllPhasesOff() {
        for (bool TSettings::*s : {&TSettings::DeleteValues, &TSettings::DeleteKey, &TSettings::RestoreValues,
                                   &TSettings::CreateKey, &TSettings::CreateValues, &TSettings::DeleteFiles,
                                   &TSettings::DecSharedCounter, &TSettings::DeleteFolders}) {
            context.Settings.*s = false;
        }
    }

    MemoryPlatform os;
    platform::Dispatcher dispatcher;
    AppContext context;
    ChangesTree tree{context.Settings};
    RecordingView view;
    Answers question;
};

TEST_F(UninstallWorker, EveryPhaseInItsOrderUndoesTheCheckedChanges) {
    context.Settings.UseRecycled = false;
    os.registry.PutString(kCurrentUser, "Software\\App", "Version", "2");
    os.registry.PutString(kCurrentUser, "Software\\App\\Sub", "Deep", "x");
    os.registry.PutString(kCurrentUser, "Software\\Kept", "Setting", "new");
    os.registry.PutDword(kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll", 1);
    ASSERT_TRUE(os.files.AddFile("C:\\App\\Data\\a.txt", "x"));
    ASSERT_TRUE(os.files.AddFile("C:\\App\\lib.dll", "x"));

    Add(ckRegKeyCreated, kCurrentUser, "Software", "App");
    Add(ckRegValueCreated, kCurrentUser, "Software\\App", "Version", platform::kRegSz, {}, {'2', 0});
    Add(ckRegKeyCreated, kCurrentUser, "Software\\App", "Sub");
    Add(ckRegValueCreated, kCurrentUser, "Software\\App\\Sub", "Deep", platform::kRegSz, {}, {'x', 0});
    Add(ckRegValueChanged, kCurrentUser, "Software\\Kept", "Setting", platform::kRegSz, {'o', 'l', 'd', 0},
        {'n', 'e', 'w', 0});
    Add(ckRegKeyDeleted, kCurrentUser, "Software", "Removed");
    Add(ckRegValueDeleted, kCurrentUser, "Software\\Removed", "", platform::kRegDword, Dword(7));
    Add(ckSharedCounterIncremented, kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll",
        platform::kRegDword, {}, Dword(1));
    Add(ckFolderCreated, 0, "C:", "App");
    Add(ckFolderCreated, 0, "C:\\App", "Data");
    AddFile("C:\\App\\Data", "a.txt");
    AddFile("C:\\App", "lib.dll");

    EXPECT_EQ(Run(), 0);
    const std::string shared = "HKEY_LOCAL_MACHINE\\" + std::string(kSharedDllsKey);
    EXPECT_EQ(view.lines, (std::vector<std::string>{
                              "4 DELETING REGISTRY VALUE: HKEY_CURRENT_USER\\Software\\App\\Sub\\Deep ... Ok",
                              "4 DELETING REGISTRY VALUE: HKEY_CURRENT_USER\\Software\\App\\Version ... Ok",
                              "4 DELETING REGISTRY KEY: HKEY_CURRENT_USER\\Software\\App\\Sub ... Ok",
                              "4 DELETING REGISTRY KEY: HKEY_CURRENT_USER\\Software\\App ... Ok",
                              "4 RESTORING REGISTRY VALUE: HKEY_CURRENT_USER\\Software\\Kept\\Setting ... Ok",
                              "4 CREATING REGISTRY KEY: HKEY_CURRENT_USER\\Software\\Removed ... Ok",
                              "4 CREATING REGISTRY VALUE: HKEY_CURRENT_USER\\Software\\Removed\\(Default) ... Ok",
                              "4 DELETING FILE: C:\\App\\Data\\a.txt ... Ok",
                              "4 DELETING FILE: C:\\App\\lib.dll ... Ok",
                              "4 UPDATING SHARED FILE COUNTER: C:\\App\\lib.dll ... Ok",
                              "4 DELETE SHARED FILE: C:\\App\\lib.dll ... Ok",
                              "4 DELETING FOLDER: C:\\App\\Data ... Ok",
                              "4 DELETING FOLDER: C:\\App ... Ok",
                              "-1 Uninstall complete without errors",
                          }));
    EXPECT_EQ(view.statuses,
              (std::vector<std::string>{"Deleting registry values ...", "Deleting registry keys ...",
                                        "Restoring registry values ...", "Creating registry keys ...",
                                        "Creating registry values ...", "Deleting files ...",
                                        "Updating shared files counters ...", "Deleting unused shared files ...",
                                        "Deleting folders ..."}));
    EXPECT_EQ(view.maximum, 12);
    EXPECT_EQ(view.steps, 12);
    EXPECT_EQ(question.asked, 1);

    EXPECT_FALSE(os.registry.KeyExists(kCurrentUser, "Software\\App"));
    EXPECT_TRUE(os.registry.KeyExists(kCurrentUser, "Software\\Removed"));
    EXPECT_FALSE(os.files.Exists("C:\\App"));
    EXPECT_EQ(os.shell.Recycled(), std::vector<std::string>{"C:\\App\\lib.dll"});
    EXPECT_EQ(UseCount(), 1);
    EXPECT_EQ(os.registry.OpenHandles(), 0u);
}

TEST_F(UninstallWorker, UncheckedAndUnboxedLeavesAreCountedButLeftAlone) {
    context.Settings.DeleteValues = false;  // created values get no check box
    os.registry.PutString(kCurrentUser, "Software\\App", "V", "1");
    ASSERT_TRUE(os.files.AddFile("C:\\App\\keep.txt", "x"));
    Add(ckRegKeyCreated, kCurrentUser, "Software", "App");
    Add(ckRegValueCreated, kCurrentUser, "Software\\App", "V", platform::kRegSz, {}, {'1', 0});
    AddFile("C:\\App", "keep.txt");
    {
        ChangesTree::Access access = tree.Lock();
        const NodeId drive = access.FindChild(access.FileSystem(), "C:");
        access.SetChecked(access.FirstChild(access.FindChild(drive, "App")), false);
    }
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(view.lines, (std::vector<std::string>{
                              "4 DELETING REGISTRY KEY: HKEY_CURRENT_USER\\Software\\App ... Ok",
                              "-1 Uninstall complete without errors",
                          }));
    EXPECT_EQ(view.steps, 2);
    EXPECT_FALSE(os.registry.KeyExists(kCurrentUser, "Software\\App"));
    EXPECT_TRUE(os.files.Exists("C:\\App\\keep.txt"));
}

TEST_F(UninstallWorker, AKeyWhoseSubKeyLeftTheTreeHasSubKeysAndTheRunHasAnError) {
    os.registry.PutString(kCurrentUser, "Software\\App\\Sub", "V", "1");
    Add(ckRegKeyCreated, kCurrentUser, "Software", "App");
    Add(ckRegKeyCreated, kCurrentUser, "Software\\App", "Sub");
    {
        ChangesTree::Access access = tree.Lock();
        const NodeId hkcu = access.FindChild(access.Registry(), "HKEY_CURRENT_USER");
        const NodeId app = access.FindChild(access.FindChild(hkcu, "Software"), "App");
        ASSERT_TRUE(access.RemoveBranch(access.FindChild(app, "Sub")));
    }
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(view.lines, std::vector<std::string>{
                              "1 DELETING REGISTRY KEY: HKEY_CURRENT_USER\\Software\\App ... ERROR (has sub-keys)"});
    EXPECT_TRUE(os.registry.KeyExists(kCurrentUser, "Software\\App\\Sub"));
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, FilesAlreadyGoneAndChangesNoUndoReversesAreCountedWarnings) {
    ASSERT_TRUE(os.files.AddFolder("C:\\App"));
    Add(ckFolderCreated, 0, "C:", "App");
    AddFile("C:\\App", "gone.txt");
    Add(ckFolderCreated, 0, "C:\\App", "Gone");
    Add(ckFileChanged, 0, "C:\\App", "app.ini");
    Add(ckFolderDeleted, 0, "C:", "Old");
    Add(ckFileDeleted, 0, "C:\\Windows", "old.log");
    EXPECT_EQ(CountCannotBeUndone(tree.Lock()), 3u);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(view.lines, (std::vector<std::string>{
                              "2 DELETING FILE: C:\\App\\gone.txt ... FAILS (not found)",
                              "2 DELETING FOLDER: C:\\App\\Gone ... FAILS (not found)",
                              "4 DELETING FOLDER: C:\\App ... Ok",
                              "2 NOT RESTORED (contents not recorded): C:\\App\\app.ini",
                              "2 NOT RESTORED (contents not recorded): C:\\Old",
                              "2 NOT RESTORED (contents not recorded): C:\\Windows\\old.log",
                              "-1 Uninstall complete without errors, 5 warnings",
                          }));
}

TEST_F(UninstallWorker, AStopInTheFilePhaseLeavesTheLaterPhasesUndone) {
    context.Settings.AutoDelQor = true;
    os.registry.PutDword(kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll", 2);
    for (const char* name : {"a.txt", "b.txt"}) ASSERT_TRUE(os.files.AddFile(std::string("C:\\App\\") + name, "x"));
    Add(ckFolderCreated, 0, "C:", "App");
    AddFile("C:\\App", "a.txt");
    AddFile("C:\\App", "b.txt");
    Add(ckSharedCounterIncremented, kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll",
        platform::kRegDword, {}, Dword(1));
    TDezinstaler* running = nullptr;
    view.onLine = [&](const std::string&) {
        // The user confirms a stop (the worker waits in this call).
        if (running != nullptr) {
            context.WizardState = TWizardState::wsStopped;
            running->Terminate();
        }
    };
    {
        TDezinstaler worker(UninstallServices{os.platform, dispatcher, context, tree, view, question});
        running = &worker;
        bool ended = false;
        worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker.Start();
        dispatcher.ServeUntil([&] { return ended; });
        EXPECT_EQ(worker.ErrorCount(), 0);
    }
    EXPECT_EQ(view.lines, std::vector<std::string>{"4 DELETING FILE: C:\\App\\a.txt ... Ok"});
    ASSERT_FALSE(view.statuses.empty());
    EXPECT_EQ(view.statuses.back(), "Deleting files ...");
    EXPECT_EQ(view.steps, 1);
    EXPECT_TRUE(os.files.Exists("C:\\App\\b.txt"));
    EXPECT_EQ(context.WizardState.load(), TWizardState::wsStopped);
    // No summary, so no automatic deletion, but the use is still recorded.
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, ARunningUninstallCanBeDestroyedAndDoesNothingMore) {
    context.Settings.AutoDelQor = true;
    ASSERT_TRUE(os.files.AddFile("C:\\App\\a.txt", "x"));
    AddFile("C:\\App", "a.txt");
    auto worker = std::make_unique<TDezinstaler>(UninstallServices{os.platform, dispatcher, context, tree, view, question});
    worker->Start();
    worker->Pause();  // in the first phase, before the file phase
    worker.reset();   // the window closes during the run
    EXPECT_TRUE(os.files.Exists("C:\\App\\a.txt"));
    // Incomplete: no summary line, and the archive stays.
    EXPECT_EQ(view.lines, std::vector<std::string>{});
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, TheArchiveGoesByItselfOnlyAfterARunWithoutErrors) {
    context.Settings.AutoDelQor = true;
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(os.files.Exists("C:\\Kelvora\\MyApp.qor"));

    MakeArchive();
    ASSERT_TRUE(os.files.AddFile("C:\\App\\used.txt", "x"));
    ASSERT_TRUE(os.files.SetInUse("C:\\App\\used.txt", true));
    AddFile("C:\\App", "used.txt");
    view = RecordingView();
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(view.lines, std::vector<std::string>{"1 DELETING FILE: C:\\App\\used.txt ... ERROR (in use)"});
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, ARunRefusedAccessHasErrorsAndKeepsItsArchive) {
    context.Settings.AutoDelQor = true;
    os.registry.PutString(kCurrentUser, "Software\\App", "V", "1");
    ASSERT_TRUE(os.registry.SetDenied(kCurrentUser, "Software\\App", true));
    Add(ckRegValueCreated, kCurrentUser, "Software\\App", "V", platform::kRegSz, {}, {'1', 0});
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(view.lines,
              std::vector<std::string>{
                  "1 DELETING REGISTRY VALUE: HKEY_CURRENT_USER\\Software\\App\\V ... ERROR (access denied)"});
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, SettingsEditedDuringTheRunDoNotReachIt) {
    ASSERT_TRUE(os.files.AddFile("C:\\App\\a.txt", "x"));
    Add(ckFolderCreated, 0, "C:", "App");
    AddFile("C:\\App", "a.txt");
    // The options dialog changes the settings while the run shows a line.
    view.onLine = [&](const std::string&) {
        context.Settings.DeleteFolders = false;
        context.Settings.AutoDelQor = true;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(os.files.Exists("C:\\App"));
    EXPECT_EQ(UseCount(), 1);
}

TEST_F(UninstallWorker, WithEveryPhaseOffOnlyTheSummaryIsShownAndAFailedMarkIsHarmless) {
    AllPhasesOff();
    Add(ckRegKeyDeleted, kCurrentUser, "Software", "Removed");
    ASSERT_TRUE(os.files.SetInUse("C:\\Kelvora\\MyApp.qor", true));
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(view.lines, std::vector<std::string>{"-1 Uninstall complete without errors"});
    EXPECT_TRUE(view.statuses.empty());
    EXPECT_EQ(view.maximum, 0);
    EXPECT_FALSE(os.registry.KeyExists(kCurrentUser, "Software\\Removed"));
    ASSERT_TRUE(os.files.SetInUse("C:\\Kelvora\\MyApp.qor", false));
    EXPECT_EQ(UseCount(), 0);
}

TEST_F(UninstallWorker, ACounterBroughtToZeroWithoutTheFilePhaseKeepsValueAndFile) {
    context.Settings.DeleteFiles = false;
    os.registry.PutDword(kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll", 1);
    os.registry.PutDword(kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\gone.dll", 1);
    ASSERT_TRUE(os.files.AddFile("C:\\App\\lib.dll", "x"));
    Add(ckSharedCounterIncremented, kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\lib.dll",
        platform::kRegDword, {}, Dword(1));
    Add(ckSharedCounterIncremented, kLocalMachine, std::string(kSharedDllsKey), "C:\\App\\other.dll",
        platform::kRegDword, {}, Dword(1));
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(view.lines,
              (std::vector<std::string>{
                  "4 UPDATING SHARED FILE COUNTER: C:\\App\\lib.dll ... Ok",
                  "1 UPDATING SHARED FILE COUNTER: C:\\App\\other.dll ... ERROR (counter already deleted -> "
                  "application is already uninstalled?)",
              }));
    platform::RegKey key;
    ASSERT_EQ(os.registry.OpenKey(kLocalMachine, kSharedDllsKey, platform::kKeyRead, key), 0);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_EQ(os.registry.QueryValue(key, "C:\\App\\lib.dll", type, data), 0);
    EXPECT_EQ(data, Dword(0));
    EXPECT_TRUE(os.files.Exists("C:\\App\\lib.dll"));
    EXPECT_EQ(question.asked, 0);
}

TEST_F(UninstallWorker, LogLevelFiveKeepsErrorsAndSuccessesButNotWarnings) {
    ASSERT_TRUE(os.files.AddFile("C:\\App\\ok.txt", "x"));
    ASSERT_TRUE(os.files.AddFile("C:\\App\\used.txt", "x"));
    ASSERT_TRUE(os.files.SetInUse("C:\\App\\used.txt", true));
    AddFile("C:\\App", "gone.txt");
    AddFile("C:\\App", "ok.txt");
    AddFile("C:\\App", "used.txt");
    TUninstallLog log;
    struct MaskedView : RecordingView {
        TUninstallLog* log = nullptr;
        void ShowLogLine(const std::string& line, std::int32_t level) override { log->Add(5, line, level); }
    } masked;
    masked.log = &log;
    TDezinstaler worker(UninstallServices{os.platform, dispatcher, context, tree, masked, question});
    bool ended = false;
    worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
    worker.Start();
    dispatcher.ServeUntil([&] { return ended; });
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"DELETING FILE: C:\\App\\ok.txt ... Ok",
                                                     "DELETING FILE: C:\\App\\used.txt ... ERROR (in use)"}));
}

TEST(ValueTypesRoundTrip, EveryTypeIsScannedComparedArchivedAndRestoredUnderItsOwnType) {
    MemoryPlatform os;
    ASSERT_TRUE(os.files.AddFolder("C:\\Kelvora"));
    testing::ValueTypesRoundTrip run(os.platform, kCurrentUser, "Software\\Types", "C:\\Kelvora");
    testing::PutValuesBefore(run);
    const auto before = run.Dump();
    EXPECT_EQ(run.MonitorAndUndo([&] { testing::Install(run); }),
              testing::ExpectedLines("HKEY_CURRENT_USER\\Software\\Types"));
    EXPECT_EQ(run.Dump(), before);
}

TEST(TreeOrder, TheExportAndTheUninstallerFollowTheCollationOfTheScreen) {
    MemoryPlatform os;
    TSettings settings;
    ChangesTree tree(settings);
    testing::PlaceOddNames(tree, "Software\\Odd");
    const std::vector<std::string> collated{"_a", "b", "ea", "\xC3\xA9" "a", "it's", "its", "Z"};
    ASSERT_NE(collated, testing::ByteOrder());
    EXPECT_EQ(testing::ExportOrder(tree, os.collation), collated);
    EXPECT_EQ(testing::UninstallOrder(os.platform, tree, "Software\\Odd"), collated);
}

}  // namespace
}  // namespace kelvora
