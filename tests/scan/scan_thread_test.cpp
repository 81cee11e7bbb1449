#include "scan/scan_thread.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/memory/memory_platform.h"
#include "scan_test_support.h"

namespace kelvora {
namespace {

using platform::kCurrentUser;
using platform::memory::MemoryFileSystem;

// Status texts and steps, as the main window receives them.
class MainThreadProgress : public IScanProgress {
public:
    std::vector<std::string> statuses;
    int steps = 0;
    // Run on the main thread after each step, while the worker waits.
    std::function<void()> afterStep;
    void ShowStatus(const std::string& status) override { statuses.push_back(status); }
    void StepProgress() override {
        ++steps;
        if (afterStep) afterStep();
    }
};

class ScanThreadTest : public ::testing::Test {
protected:
    ScanThreadTest() {
        memory.files.AddFolder("C:\\Kelvora");
        for (int k = 0; k < 50; ++k) {
            for (int v = 0; v < 20; ++v) {
                memory.registry.PutDword(kCurrentUser, testing::Numbered("Software\\K", k), testing::Numbered("v", v), 1);
            }
        }
        context.ProgramFolder = "C:\\Kelvora";
        TSettings& s = context.Settings;
        s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCC = false;
        s.ScanHKCU = true;
        s.ScanWin = s.ScanProg = s.ScanEntire = s.ScanOthers = false;
    }

    template <class Thread>
    void Run(std::unique_ptr<Thread> thread) {
        bool ended = false;
        thread->SetOnTerminate([&](TSafeThread& done) {
            fatal = done.FatalException();
            end = done.WorkEnd();
            ended = true;
        });
        thread->Start();
        dispatcher.ServeUntil([&] { return ended; });
    }

    platform::Dispatcher dispatcher;
    platform::memory::MemoryPlatform memory;
    AppContext context;
    MainThreadProgress progress;
    ChangesTree tree{context.Settings};
    std::exception_ptr fatal;
    TWorkEnd end = TWorkEnd::Stopped;
};

TEST_F(ScanThreadTest, ScanAndRescanRunOnTheirThreadsAndReportOnTheMainThread) {
    Run(std::make_unique<ScanThread>(context, memory.platform, dispatcher, progress));
    EXPECT_EQ(end, TWorkEnd::Completed);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Scanning registry category: HKEY_CURRENT_USER ..."}));
    EXPECT_EQ(progress.steps, 1);

    memory.registry.PutString(kCurrentUser, "Software\\K7", "added", "x");
    tree.StartFill(false);
    Run(std::make_unique<ReScanThread>(context, memory.platform, dispatcher, progress, tree));
    EXPECT_EQ(fatal, nullptr);
    EXPECT_EQ(end, TWorkEnd::Completed);
    EXPECT_EQ(progress.steps, 5);
    EXPECT_EQ(testing::TreeLines(tree), (std::vector<std::string>{"3 HKEY_CURRENT_USER\\Software\\K7\\added"}));
}

TEST_F(ScanThreadTest, TheRescanReadsTheUsersSeparatorsOnceForItsFileTexts) {
    context.Settings.ScanOthers = true;
    context.Settings.ScanOtherPaths = "C:\\App";
    memory.files.AddFile("C:\\App\\old.txt", "old");
    Run(std::make_unique<ScanThread>(context, memory.platform, dispatcher, progress));
    memory.locale.separators = {".", "-"};
    for (int f = 0; f < 3; ++f) {
        memory.files.AddFile(testing::Numbered("C:\\App\\new", f), "new", MemoryFileSystem::DosDateTime(2002, 11, 23, 14, 5, 0));
    }
    tree.StartFill(false);
    Run(std::make_unique<ReScanThread>(context, memory.platform, dispatcher, progress, tree));
    EXPECT_EQ(memory.locale.reads.load(), 1);
    auto access = tree.Lock();
    const NodeId app = access.FindChild(access.FindChild(access.FileSystem(), "C:"), "App");
    ASSERT_EQ(access.ChildCount(app), 3u);
    EXPECT_EQ(access.Data(access.FirstChild(app)).NewText(), "14.05 23-11-02 3");
}

// The window may close while a scan runs: the worker stops before it goes.
TEST_F(ScanThreadTest, ARunningScanOrRescanCanBeDestroyed) {
    auto scan = std::make_unique<ScanThread>(context, memory.platform, dispatcher, progress);
    scan->Start();
    scan->Pause();  // serves its first status; it halts inside the walk
    scan.reset();
    tree.StartFill(false);
    auto rescan = std::make_unique<ReScanThread>(context, memory.platform, dispatcher, progress, tree);
    rescan->Start();
    rescan->Pause();
    rescan.reset();
    EXPECT_EQ(progress.statuses.size(), 2u);
}

TEST_F(ScanThreadTest, ARunKeepsTheSettingsAndFoldersItWasCreatedWith) {
    auto thread = std::make_unique<ScanThread>(context, memory.platform, dispatcher, progress);
    // The options dialog edits the live settings while the worker runs.
    context.Settings.ScanHKCU = false;
    context.Settings.ScanHKLM = true;
    context.ProgramFolder = "D:\\";
    Run(std::move(thread));
    EXPECT_TRUE(memory.files.FileExists("C:\\Kelvora\\HKCU.sns"));
    EXPECT_FALSE(memory.files.FileExists("C:\\Kelvora\\HKLM.sns"));
    EXPECT_FALSE(memory.files.FileExists("D:\\HKLM.sns"));
}

TEST_F(ScanThreadTest, AStopDuringTheRescanEndsItWithoutFurtherSteps) {
    Run(std::make_unique<ScanThread>(context, memory.platform, dispatcher, progress));
    memory.registry.PutString(kCurrentUser, "Software\\K7", "added", "x");
    progress = {};
    tree.StartFill(false);
    auto thread = std::make_unique<ReScanThread>(context, memory.platform, dispatcher, progress, tree);
    // The first step (the snapshot is loaded) is where the user cancels: the
    // worker waits in that step's synchronised call meanwhile.
    ReScanThread* worker = thread.get();
    progress.afterStep = [this, worker] {
        context.WizardState = TWizardState::wsStopped;
        worker->Terminate();
    };
    Run(std::move(thread));
    EXPECT_EQ(fatal, nullptr);
    EXPECT_EQ(end, TWorkEnd::Stopped);
    EXPECT_EQ(progress.steps, 1);
    EXPECT_EQ(progress.statuses.size(), 1u);
    EXPECT_TRUE(testing::TreeLines(tree).empty());
}

TEST_F(ScanThreadTest, MissingSnapshotEndsTheThreadWithItsError) {
    Run(std::make_unique<ReScanThread>(context, memory.platform, dispatcher, progress, tree));
    ASSERT_NE(fatal, nullptr);
    EXPECT_THROW(std::rethrow_exception(fatal), SnapshotFileError);
}

}  // namespace
}  // namespace kelvora
