#include "worker/safe_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <optional>
#include <thread>
#include <vector>

#include "scan/base_scan_thread.h"
#include "platform/memory/memory_platform.h"

namespace kelvora {
namespace {

using namespace std::chrono_literals;

// The window's label and bar; touched on the main thread only.
class RecordingProgress : public IScanProgress {
public:
    explicit RecordingProgress(const platform::Dispatcher& dispatcher) : dispatcher_(dispatcher) {}
    std::vector<std::string> statuses;
    int steps = 0;
    bool allOnMainThread = true;

    void ShowStatus(const std::string& status) override {
        allOnMainThread = allOnMainThread && dispatcher_.IsMainThread();
        statuses.push_back(status);
    }
    void StepProgress() override {
        allOnMainThread = allOnMainThread && dispatcher_.IsMainThread();
        ++steps;
    }

private:
    const platform::Dispatcher& dispatcher_;
};

// A scan-like worker: runs body() on its thread.
class TestWorker final : public BaseScanThread {
public:
    using BaseScanThread::BaseScanThread;
    ~TestWorker() override { Abandon(); }
    std::function<void(TestWorker&)> body;

    // Items done so far; the main thread reads them while the worker is
    // paused or after it has ended.
    std::vector<int> done;

    // The worker's loop: one item, one step, one pause point, until count or
    // a stop request.
    void Loop(int count) {
        for (int i = 0; i < count && !Terminated(); ++i) {
            done.push_back(i);
            StepProgress();
            PausePoint();
        }
    }
    using BaseScanThread::ShowStatus;
    using BaseScanThread::StepProgress;
    using BaseScanThread::Synchronize;

protected:
    void Execute() override { body(*this); }
};

class WorkerThreadTest : public ::testing::Test {
protected:
    std::unique_ptr<TestWorker> Make(std::function<void(TestWorker&)> body) {
        auto worker = std::make_unique<TestWorker>(context, stub.platform, dispatcher, progress);
        worker->body = std::move(body);
        // The end handler releases the worker, as the main window does.
        worker->SetOnTerminate([this](TSafeThread& ended) {
            EXPECT_EQ(&ended, owned.get());
            endHandlerRuns++;
            fatal = ended.FatalException();
            workEnd = ended.WorkEnd();
            doneAtEnd = owned->done;
            owned.reset();
        });
        return worker;
    }

    void StartOwned(std::function<void(TestWorker&)> body) {
        owned = Make(std::move(body));
        owned->Start();
    }

    void ServeUntilEnded() {
        dispatcher.ServeUntil([this] { return endHandlerRuns > 0; });
    }

    platform::Dispatcher dispatcher;
    AppContext context;
    platform::memory::MemoryPlatform stub;
    RecordingProgress progress{dispatcher};
    std::unique_ptr<TestWorker> owned;
    int endHandlerRuns = 0;
    std::exception_ptr fatal;
    std::optional<TWorkEnd> workEnd;
    std::vector<int> doneAtEnd;
};

TEST_F(WorkerThreadTest, ReportsStatusAndStepsOnTheMainThreadThenEnds) {
    StartOwned([](TestWorker& w) {
        w.Status = "Scanning HKEY_CURRENT_USER";
        w.ShowStatus();
        w.Loop(3);
    });
    ServeUntilEnded();
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(endHandlerRuns, 1);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Scanning HKEY_CURRENT_USER"}));
    EXPECT_EQ(progress.steps, 3);
    EXPECT_TRUE(progress.allOnMainThread);
    EXPECT_EQ(fatal, nullptr);
    EXPECT_EQ(workEnd, TWorkEnd::Completed);
}

TEST_F(WorkerThreadTest, AnExceptionInExecuteStillRunsTheEndHandler) {
    StartOwned([](TestWorker& w) {
        w.Loop(2);
        throw SnapshotFileError("Cannot open file \"HKLM.sns\"");
    });
    ServeUntilEnded();
    EXPECT_EQ(endHandlerRuns, 1);
    ASSERT_NE(fatal, nullptr);
    EXPECT_THROW(std::rethrow_exception(fatal), SnapshotFileError);
    EXPECT_EQ(doneAtEnd, (std::vector<int>{0, 1}));
}

TEST_F(WorkerThreadTest, PauseServesTheSynchronizeCallTheWorkerWaitsIn) {
    std::atomic<bool> pastPausePoint{false};
    StartOwned([&](TestWorker& w) {
        w.Status = "first";
        w.ShowStatus();  // waits for the main thread
        w.PausePoint();
        pastPausePoint = true;
    });
    // The worker is (about to be) waiting in its synchronise call; nobody
    // has run it yet.
    while (!dispatcher.WaitForWork(10ms)) {
    }
    owned->Pause();
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"first"}));
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(pastPausePoint);
    owned->Resume();
    ServeUntilEnded();
    EXPECT_TRUE(pastPausePoint);
}

TEST_F(WorkerThreadTest, PauseAndResumeWithoutAStopSkipAndRepeatNothing) {
    constexpr int kItems = 300;
    StartOwned([](TestWorker& w) { w.Loop(kItems); });
    for (int round = 0; round < 20 && owned != nullptr; ++round) {
        dispatcher.WaitForWork(1ms);
        dispatcher.ProcessPending();
        if (owned == nullptr) break;
        owned->Pause();
        if (owned == nullptr) break;  // it ended, and its end handler ran
        const std::size_t before = owned->done.size();
        const int stepsBefore = progress.steps;
        std::this_thread::sleep_for(2ms);
        dispatcher.ProcessPending();
        EXPECT_EQ(owned->done.size(), before);  // halted
        EXPECT_EQ(progress.steps, stepsBefore);
        owned->Resume();
    }
    if (owned != nullptr) ServeUntilEnded();
    std::vector<int> expected(kItems);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(doneAtEnd, expected);
    EXPECT_EQ(progress.steps, kItems);
}

TEST_F(WorkerThreadTest, PauseTerminateResumeStopsWithoutAnotherStep) {
    StartOwned([](TestWorker& w) { w.Loop(1'000'000'000); });
    dispatcher.ServeUntil([this] { return progress.steps >= 5; });
    owned->Pause();
    const std::size_t itemsAtPause = owned->done.size();
    const int stepsAtPause = progress.steps;
    owned->Terminate();
    owned->Resume();
    ServeUntilEnded();
    EXPECT_EQ(workEnd, TWorkEnd::Stopped);
    EXPECT_EQ(doneAtEnd.size(), itemsAtPause);
    EXPECT_EQ(progress.steps, stepsAtPause);
}

TEST_F(WorkerThreadTest, StepProgressAfterAStopRequestShowsNothing) {
    StartOwned([](TestWorker& w) {
        w.StepProgress();
        w.Terminate();
        w.StepProgress();
    });
    ServeUntilEnded();
    EXPECT_EQ(progress.steps, 1);
}

TEST_F(WorkerThreadTest, PauseReturnsWhenTheWorkerEndsWithoutAnotherPausePoint) {
    StartOwned([](TestWorker& w) {
        w.Synchronize([] {});
        std::this_thread::sleep_for(5ms);
    });
    owned->Pause();  // may run the end handler, which destroys the worker
    if (owned != nullptr) {
        EXPECT_TRUE(owned->Finished());
        owned->Resume();
        ServeUntilEnded();
    }
    EXPECT_EQ(endHandlerRuns, 1);
    // A worker that has ended is not waited for at all.
    auto ended = Make([](TestWorker&) {});
    ended->SetOnTerminate({});
    ended->Start();
    while (!ended->Finished()) std::this_thread::sleep_for(1ms);
    ended->Pause();
    ended->Resume();
}

TEST_F(WorkerThreadTest, DestroyingARunningWorkerStopsItBeforeItsMembersGo) {
    StartOwned([](TestWorker& w) { w.Loop(1'000'000'000); });  // writes its member done
    dispatcher.ServeUntil([this] { return progress.steps >= 5; });
    owned.reset();
    dispatcher.ProcessPending();
    EXPECT_EQ(endHandlerRuns, 0);
}

TEST_F(WorkerThreadTest, AbandonStopsARunningWorkerAndDropsItsEndHandler) {
    StartOwned([](TestWorker& w) {
        while (!w.Terminated()) {
            w.Synchronize([] {});
            w.PausePoint();
        }
    });
    dispatcher.WaitForWork(50ms);
    owned->Pause();
    owned->Abandon();  // releases the pause, serves, joins
    EXPECT_TRUE(owned->Finished());
    owned.reset();
    dispatcher.ProcessPending();
    EXPECT_EQ(endHandlerRuns, 0);
}

}  // namespace
}  // namespace kelvora
