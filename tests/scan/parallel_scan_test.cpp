// The scans on several workers: the same snapshot files, byte for byte, and
// the same changes in the same order as on one; pause and stop reach every
// worker in every phase.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "platform/memory/memory_platform.h"
#include "scan/folder_scan.h"
#include "scan/registry_scan.h"
#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"
#include "scan_test_support.h"
#include "worker/safe_thread.h"

namespace kelvora {
namespace {

using platform::kClassesRoot;
using platform::kCurrentUser;
using platform::kLocalMachine;
using platform::kUsers;

constexpr const char* kSnapshots[] = {"HKCR.SNS", "HKLM.SNS", "HKUS.SNS", "HKCU.SNS", "FIS1.SNS", "FIS2.SNS"};

// A machine with every kind of target, and what a setup changes on it.
void Fill(platform::memory::MemoryPlatform& memory) {
    memory.files.AddFolder("C:\\Kelvora");
    memory.registry.PutString(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                              "C:\\Program Files");
    for (int k = 0; k < 60; ++k) {
        const std::string key = testing::Numbered("Software\\Vendor\\K", k);
        for (int v = 0; v < 8; ++v) {
            memory.registry.PutDword(kLocalMachine, key, testing::Numbered("v", v), static_cast<std::uint32_t>(v));
            memory.registry.PutString(kUsers, ".DEFAULT\\" + key, testing::Numbered("s", v), "text");
        }
        memory.registry.PutString(kClassesRoot, testing::Numbered(".ext", k), "", "type");
        memory.registry.PutString(kCurrentUser, key, "", "x");
        for (int f = 0; f < 6; ++f) {
            const std::string name = testing::Numbered("\\f", f) + ".dll";
            memory.files.AddFile(testing::Numbered("C:\\Windows\\D", k) + name, "data");
            memory.files.AddFile(testing::Numbered("C:\\Program Files\\App\\D", k % 7) + name, "dd");
        }
    }
}

void Install(platform::memory::MemoryPlatform& memory) {
    memory.registry.PutString(kLocalMachine, "Software\\Vendor\\K7", "added", "x");
    memory.registry.PutString(kUsers, ".DEFAULT\\Software\\New", "v", "x");
    memory.registry.PutString(kClassesRoot, ".new", "", "t");
    ASSERT_TRUE(memory.files.Rename("C:\\Windows\\D3\\f1.dll", "C:\\Program Files\\App\\f1.dll"));
    memory.files.AddFile("C:\\Windows\\D9\\new.dll", "n");
    ASSERT_TRUE(memory.files.DeleteFile("C:\\Program Files\\App\\D2\\f4.dll"));
}

// Status texts and steps as the main thread receives them.
class Progress : public IScanProgress {
public:
    std::vector<std::string> statuses;
    int steps = 0;
    std::function<void()> onStatus;
    void ShowStatus(const std::string& status) override {
        statuses.push_back(status);
        if (onStatus) onStatus();
    }
    void StepProgress() override { ++steps; }
};

// A worker that runs the first scan or the rescan with as many workers as
// asked, whatever the processor has. It counts the pause points its threads
// pass (before each one may halt there), and wakes the main thread at each.
class ScanWorker final : public TSafeThread {
public:
    ScanWorker(platform::Dispatcher& dispatcher, platform::memory::MemoryPlatform& memory, AppContext& context,
               const ScanConfig& config, Progress& progress, ChangesTree* rescanInto)
        : TSafeThread(dispatcher), memory_(memory), context_(context), config_(config), progress_(progress),
          rescanInto_(rescanInto) {}
    ~ScanWorker() override { Abandon(); }

    void PausePoint() override {
        points.fetch_add(1);
        Dispatcher().Wake();
        TSafeThread::PausePoint();
    }
    std::atomic<long> points{0};

protected:
    void Execute() override {
        class Relay : public IScanProgress {
        public:
            explicit Relay(ScanWorker& worker) : worker_(worker) {}
            void ShowStatus(const std::string& status) override {
                worker_.Synchronize([&] { worker_.progress_.ShowStatus(status); });
            }
            void StepProgress() override {
                worker_.Synchronize([&] { worker_.progress_.StepProgress(); });
            }

        private:
            ScanWorker& worker_;
        } relay(*this);
        ScanEnv env{memory_.registry, memory_.files, config_, context_.WizardState, *this};
        if (rescanInto_ == nullptr) {
            SetWorkEnd(ExecuteScan(env, relay));
            return;
        }
        SetWorkEnd(ExecuteRescan(env, relay, *rescanInto_, [&](std::string_view name) {
            return LoadSnapshot(memory_.files, config_.ProgramFolder, name, context_.WizardState, *this);
        }));
    }

private:
    platform::memory::MemoryPlatform& memory_;
    AppContext& context_;
    const ScanConfig& config_;
    Progress& progress_;
    ChangesTree* rescanInto_;
};

class ParallelScanTest : public ::testing::Test {
protected:
    ParallelScanTest() {
        testing::UseFoldersOnDriveC(config);
        TSettings& s = config.Settings;
        s.ScanHKCR = s.ScanHKLM = s.ScanHKUS = s.ScanHKCU = true;
        s.ScanEntire = false;
        s.ScanWin = s.ScanProg = true;
    }

    std::unique_ptr<ScanWorker> Worker(platform::memory::MemoryPlatform& memory, unsigned workers, bool rescan) {
        config.Workers = workers;
        progress = {};
        if (rescan) tree.StartFill(false);
        context.WizardState = TWizardState::wsScanning;
        return std::make_unique<ScanWorker>(dispatcher, memory, context, config, progress, rescan ? &tree : nullptr);
    }

    TWorkEnd Run(ScanWorker& worker) {
        bool ended = false;
        worker.SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker.Start();
        dispatcher.ServeUntil([&] { return ended; });
        if (worker.FatalException()) std::rethrow_exception(worker.FatalException());
        return worker.WorkEnd();
    }

    std::map<std::string, std::vector<std::uint8_t>> Snapshots(platform::memory::MemoryPlatform& memory) {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const char* name : kSnapshots) memory.files.ReadFile(std::string("C:\\Kelvora\\") + name, files[name]);
        return files;
    }

    platform::Dispatcher dispatcher;
    AppContext context;
    ScanConfig config;
    Progress progress;
    ChangesTree tree{config.Settings};
};

TEST_F(ParallelScanTest, OneAndFourWorkersWriteTheSameSnapshotsAndFindTheSameChanges) {
    struct Result {
        std::map<std::string, std::vector<std::uint8_t>> snapshots;
        std::vector<std::string> firstStatuses, rescanStatuses, changes;
        int steps = 0;
    };
    auto runWith = [&](unsigned workers) {
        platform::memory::MemoryPlatform memory;
        Fill(memory);
        Result result;
        EXPECT_EQ(Run(*Worker(memory, workers, false)), TWorkEnd::Completed);
        result.snapshots = Snapshots(memory);
        result.firstStatuses = progress.statuses;
        result.steps = progress.steps;
        Install(memory);
        EXPECT_EQ(Run(*Worker(memory, workers, true)), TWorkEnd::Completed);
        result.rescanStatuses = progress.statuses;
        result.steps += progress.steps;
        result.changes = testing::TreeLines(tree);
        return result;
    };
    const Result one = runWith(1);
    const Result four = runWith(4);
    EXPECT_GT(one.snapshots.at("HKLM.SNS").size(), 10000u);
    EXPECT_GT(one.snapshots.at("FIS2.SNS").size(), 10000u);
    for (const char* name : kSnapshots) EXPECT_TRUE(one.snapshots.at(name) == four.snapshots.at(name)) << name;
    EXPECT_EQ(one.firstStatuses, four.firstStatuses);
    EXPECT_EQ(one.rescanStatuses, four.rescanStatuses);
    EXPECT_EQ(one.steps, four.steps);
    EXPECT_EQ(one.steps, 5 * 5);
    EXPECT_EQ(one.changes, four.changes);
    EXPECT_GE(one.changes.size(), 7u);
}

// While the scan is paused no thread of the pool passes a pause point. The
// scan is paused as soon as a status has shown and as often as it can be
// between, and goes on to its end. (A status may also show while a pause
// waits for the threads to halt, so not every status gets a pause of its
// own.)
TEST_F(ParallelScanTest, APauseHaltsEveryWorkerWhereverItComes) {
    platform::memory::MemoryPlatform memory;
    Fill(memory);
    for (const bool rescan : {false, true}) {
        if (rescan) Install(memory);
        auto worker = Worker(memory, 4, rescan);
        bool ended = false;
        bool statusShown = false;
        int pauses = 0;
        progress.onStatus = [&] { statusShown = true; };
        worker->SetOnTerminate([&](TSafeThread&) { ended = true; });
        worker->Start();
        long passed = 0;
        while (true) {
            dispatcher.ServeUntil([&] { return ended || statusShown || worker->points.load() > passed + 5; });
            if (ended) break;
            statusShown = false;
            ++pauses;
            worker->Pause();
            passed = worker->points.load();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (!worker->Finished()) EXPECT_EQ(worker->points.load(), passed);
            worker->Resume();
        }
        EXPECT_EQ(worker->FatalException(), nullptr);
        EXPECT_EQ(worker->WorkEnd(), TWorkEnd::Completed);
        EXPECT_GE(pauses, 2);
        EXPECT_EQ(progress.steps, rescan ? 20 : 5);
    }
}

// A stop as each status shows ends the run stopped, with no step after it,
// however far the other workers have come.
TEST_F(ParallelScanTest, AStopInEveryPhaseEndsEveryWorker) {
    for (const bool rescan : {false, true}) {
        for (std::size_t stopAt = 1;; ++stopAt) {
            platform::memory::MemoryPlatform memory;
            Fill(memory);
            if (rescan) {
                ASSERT_EQ(Run(*Worker(memory, 1, false)), TWorkEnd::Completed);
                Install(memory);
            }
            auto worker = Worker(memory, 4, rescan);
            ScanWorker* running = worker.get();
            int stepsAtStop = -1;
            progress.onStatus = [&] {
                if (progress.statuses.size() != stopAt) return;
                context.WizardState = TWizardState::wsStopped;
                running->Terminate();
                stepsAtStop = progress.steps;
            };
            const TWorkEnd end = Run(*worker);
            if (stepsAtStop < 0) break;  // the run has fewer statuses
            EXPECT_EQ(end, TWorkEnd::Stopped) << stopAt;
            EXPECT_EQ(progress.steps, stepsAtStop) << stopAt;
            EXPECT_EQ(progress.statuses.size(), stopAt);
        }
    }
}

// One target walked with its sub-trees handed off to three idle workers
// gives the bytes of the walk on one thread: wide levels, a deep chain, a
// file listed after a sub-folder, values of every record shape.
TEST(SplitWalkTest, SubTreesWalkedElsewhereJoinInTheWalksOrder) {
    testing::NeverStopped running;
    platform::memory::MemoryPlatform memory;
    memory.registry.SetWriteTime(0x01D0000000000000);  // last-write times to compare
    std::string deep = "Software\\Deep";
    std::string deepFolder = "C:\\Data\\Deep";
    for (int level = 0; level < 40; ++level) {
        deep += testing::Numbered("\\L", level);
        deepFolder += testing::Numbered("\\L", level);
        memory.registry.PutDword(kLocalMachine, deep, "", static_cast<std::uint32_t>(level));
        memory.files.AddFile(deepFolder + "\\zz.txt", "z");
    }
    const std::vector<std::uint8_t> odd = {1, 2, 3};
    for (int k = 0; k < 300; ++k) {
        const std::string key = testing::Numbered("Software\\Wide\\K", k);
        memory.registry.PutString(kLocalMachine, key, "", "default");
        memory.registry.Put(kLocalMachine, key, "odd", 0x11, odd);
        memory.registry.PutDword(kLocalMachine, key + testing::Numbered("\\Sub", k % 3), "d", 1);
        const std::string folder = testing::Numbered("C:\\Data\\W", k);
        memory.files.AddFile(folder + "\\a.txt", "aa");
        memory.files.AddFolder(folder + "\\b");
        memory.files.AddFile(folder + "\\c.txt", "c");
    }
    memory.files.AddFolder("C:\\Data\\Empty");
    memory.files.AddFolder("C:\\Kelvora");
    ScanConfig config;
    AppContext context;
    ScanEnv env{memory.registry, memory.files, config, context.WizardState, running};
    auto scan = [&](unsigned workers, bool registry) {
        TWorkerPool pool(running, workers);
        TDBTree out = TDBTree::CreateStreaming(memory.files, "C:\\Kelvora", "split");
        if (registry) {
            ScanKey(env, kLocalMachine, {}, out, &pool);
        } else {
            EXPECT_EQ(ScanFolder(env, "C:\\", out, &pool), FolderState::kReadable);
        }
        out.Save(memory.files);
        std::vector<std::uint8_t> bytes;
        memory.files.ReadFile("C:\\Kelvora\\split.sns", bytes);
        return bytes;
    };
    for (const bool registry : {true, false}) {
        const std::vector<std::uint8_t> one = scan(1, registry);
        EXPECT_GT(one.size(), 20000u);
        for (int round = 0; round < 5; ++round) EXPECT_TRUE(scan(4, registry) == one) << registry << round;
    }
    // The rescan's live tree: the same nodes, items and last-write times.
    auto read = [&](unsigned workers) {
        TWorkerPool pool(running, workers);
        const SnapshotTree tree = ReadKey(env, kLocalMachine, {}, {}, &pool);
        std::vector<std::string> lines = testing::Flatten(tree);
        std::vector<const TNode*> nodes{tree.Root};
        while (!nodes.empty()) {
            const TNode* node = nodes.back();
            nodes.pop_back();
            lines.push_back(std::string(node->Name()) + " " + std::to_string(node->LastWrite));
            for (const TNode* child = node->FirstChild; child != nullptr; child = child->NextSibling) {
                nodes.push_back(child);
            }
        }
        return lines;
    };
    const std::vector<std::string> one = read(1);
    for (int round = 0; round < 5; ++round) EXPECT_EQ(read(4), one) << round;
}

}  // namespace
}  // namespace kelvora
