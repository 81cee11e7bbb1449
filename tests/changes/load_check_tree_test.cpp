#include "changes/load_check_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "changes/chg_archive.h"
#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

class RecordingProgress : public ILoadProgress {
public:
    void SetProgress(int percent) override { seen.push_back(percent); }
    std::vector<int> seen;
};

// The loader as the wizard runs it: on its own thread, its end handler on the
// main thread, while the main thread reads the tree it fills.
class LoadCheckTreeThreadTest : public ::testing::Test {
protected:
    LoadCheckTreeThreadTest() {
        os.files.AddFolder("C:\\Kelvora");
        context.ProgramFolder = "C:\\Kelvora";
        context.AppIdentifier = "App";
    }

    void WriteArchive(int folders) {
        TChgArchive archive(os.files, os.clock, "C:\\Kelvora\\App");
        archive.CreateNew();
        for (int i = 0; i < folders; ++i) {
            archive.WriteInt(ckFolderCreated);
            archive.WriteStr("C:\\Dir" + std::to_string(i / 10) + "\\F" + std::to_string(i));
        }
        archive.Save();
    }

    void Run(bool stopAtOnce) {
        tree.StartFill(true);
        worker = std::make_unique<TLoadCheckTree>(context, os.platform, dispatcher, tree, progress);
        worker->SetOnTerminate([this](TSafeThread& ended) {
            end = ended.WorkEnd();
            worker.reset();
        });
        if (stopAtOnce) worker->Terminate();  // before the first record
        worker->Start();
        // The window paints while the worker adds.
        dispatcher.ServeUntil([this] {
            if (worker) {
                auto a = tree.Lock();
                if (a.Root() != kNoNode) (void)a.ChildCount(a.FileSystem());
            }
            return worker == nullptr;
        });
    }

    platform::memory::MemoryPlatform os;
    platform::Dispatcher dispatcher;
    AppContext context;
    ChangesTree tree{context.Settings};
    RecordingProgress progress;
    std::unique_ptr<TLoadCheckTree> worker;
    TWorkEnd end = TWorkEnd::Stopped;
};

TEST_F(LoadCheckTreeThreadTest, LoadsEveryRecordAndReportsProgressOnTheMainThread) {
    WriteArchive(2000);
    Run(false);
    EXPECT_EQ(end, TWorkEnd::Completed);
    EXPECT_EQ(context.LoadedCounts[ckFolderCreated], 2000);
    ASSERT_FALSE(progress.seen.empty());
    EXPECT_LE(progress.seen.size(), 101u);
    EXPECT_EQ(progress.seen.back(), 100);
    auto a = tree.Lock();
    EXPECT_EQ(a.ChildCount(a.FindChild(a.FileSystem(), "C:")), 200u);
}

TEST_F(LoadCheckTreeThreadTest, StopEndsAsStopped) {
    WriteArchive(2000);
    Run(true);
    EXPECT_EQ(end, TWorkEnd::Stopped);
    EXPECT_EQ(tree.Lock().NodeCount(), 3u);
}

TEST_F(LoadCheckTreeThreadTest, ARunningLoadCanBeDestroyed) {
    WriteArchive(2000);
    tree.StartFill(true);
    worker = std::make_unique<TLoadCheckTree>(context, os.platform, dispatcher, tree, progress);
    worker->Start();
    worker->Pause();
    worker.reset();  // the window closes during the load; the sanitizers watch
    EXPECT_NE(tree.Lock().Root(), kNoNode);
}

TEST_F(LoadCheckTreeThreadTest, DamagedArchiveEndsAsBad) {
    os.files.WriteFile("C:\\Kelvora\\App.qor", reinterpret_cast<const std::uint8_t*>("not an archive"), 14);
    Run(false);
    EXPECT_EQ(end, TWorkEnd::Refused);
}

}  // namespace
}  // namespace kelvora
