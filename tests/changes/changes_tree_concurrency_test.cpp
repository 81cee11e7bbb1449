#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "changes/changes_tree.h"

namespace kelvora {
namespace {

class CountingObserver : public IChangesTreeObserver {
public:
    void TreeChanged() override { calls.fetch_add(1); }
    std::atomic<int> calls{0};
};

// Counts the live nodes below (and including) a node by walking the links.
std::size_t CountNodes(const ChangesTree::Access& a, NodeId node) {
    std::size_t n = 1;
    for (NodeId c = a.FirstChild(node); c != kNoNode; c = a.NextSibling(c)) n += CountNodes(a, c);
    return n;
}

// A worker fills the tree while the main thread reads it, checks branches,
// removes branches (also the one the placement cache points into) and
// acknowledges announcements, as the window does during a rescan.
TEST(ChangesTreeConcurrency, WorkerAddsWhileMainThreadReadsAndEdits) {
    TSettings settings;
    ChangesTree tree(settings);
    CountingObserver observer;
    tree.SetObserver(&observer);
    tree.StartFill(true);
    tree.AcknowledgeChanges();

    constexpr int kRecords = 20000;
    std::atomic<bool> done{false};
    std::atomic<int> removed{0};
    std::thread worker([&] {
        for (int i = 0; i < kRecords; ++i) {
            // Once, wait until a branch the cache points into was removed.
            if (i == 100) {
                while (removed.load() == 0) std::this_thread::yield();
            }
            TNodeData rec;
            rec.Kind = (i % 3 == 0) ? ckFolderCreated : ckFileCreated;
            rec.Path = "C:\\Dir" + std::to_string(i / 50) + "\\Sub";
            rec.SetNewText("12:00 01/01/02 " + std::to_string(i));
            const std::string path = rec.Path;
            tree.AddToTree(path, "item" + std::to_string(i), std::move(rec));
        }
        done.store(true);
    });

    int acknowledgements = 0;
    while (!done.load()) {
        if (observer.calls.load() > acknowledgements) {
            tree.AcknowledgeChanges();
            ++acknowledgements;
        }
        auto a = tree.Lock();
        const NodeId drive = a.FindChild(a.FileSystem(), "C:");
        if (drive == kNoNode) continue;
        EXPECT_EQ(CountNodes(a, a.Root()), a.NodeCount());
        a.SetBranchChecked(drive, removed.load() % 2 == 0);
        // Remove the newest folder, where the worker is adding.
        const std::vector<NodeId> dirs = a.Children(drive);
        if (!dirs.empty() && a.RemoveBranch(dirs.back())) removed.fetch_add(1);
    }
    worker.join();
    EXPECT_GT(removed.load(), 0);
    EXPECT_LE(observer.calls.load(), acknowledgements + 1);
    auto a = tree.Lock();
    EXPECT_EQ(CountNodes(a, a.Root()), a.NodeCount());
    EXPECT_GT(tree.Generation(), 0u);
}

// A view that learns the tree's shape only from the shape changes (every
// node's child count, recounted in full when told the tree was reshaped)
// stays in step with the tree while a worker adds and the main thread now
// and then removes a branch.
TEST(ChangesTreeConcurrency, ShapeChangesKeepAViewInStepWithAWorker) {
    TSettings settings;
    ChangesTree tree(settings);
    tree.StartFill(false);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20000; ++i) {
            const std::string path = "C:\\Dir" + std::to_string(i / 40) + "\\Sub" + std::to_string(i % 3);
            TNodeData rec;
            rec.Kind = ckFileCreated;
            rec.Path = path;
            tree.AddToTree(path, "item" + std::to_string(i), std::move(rec));
        }
        done.store(true);
    });

    std::vector<std::uint32_t> counts;  // by node id: the view
    int takes = 0, reshapes = 0, mismatches = 0;
    auto takeAndCompare = [&] {
        auto a = tree.Lock();
        TShapeChanges changes = a.TakeShapeChanges();
        counts.resize(a.IdLimit(), 0);
        if (changes.Reshaped) {
            ++reshapes;
            for (NodeId n = 0; n < a.IdLimit(); ++n) counts[n] = a.IsAlive(n) ? a.ChildCount(n) : 0;
        }
        for (NodeId parent : changes.Grown) counts[parent] = a.ChildCount(parent);
        for (NodeId n = 0; n < a.IdLimit(); ++n)
            if (a.IsAlive(n) && counts[n] != a.ChildCount(n)) ++mismatches;
        ++takes;
    };
    while (!done.load()) {
        takeAndCompare();
        if (takes % 16 == 0) {
            auto a = tree.Lock();
            const NodeId drive = a.FindChild(a.FileSystem(), "C:");
            if (drive != kNoNode && a.ChildCount(drive) > 2) a.RemoveBranch(a.Children(drive)[1]);
        }
        // Let the worker add a batch, as the window's timer does.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    takeAndCompare();
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(takes, reshapes);  // most takes listed what grew
}

// The window detaches its observer before it goes: an announcement under
// way on the worker ends first, and none follows.
TEST(ChangesTreeConcurrency, SetObserverWaitsForAnAnnouncementUnderWay) {
    struct SlowObserver : IChangesTreeObserver {
        std::atomic<bool> entered{false};
        std::atomic<bool> detached{false};
        std::atomic<int> calls{0};
        std::atomic<int> callsAfterDetach{0};
        void TreeChanged() override {
            calls.fetch_add(1);
            entered.store(true);
            // Time for a SetObserver that does not wait to return meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (detached.load()) callsAfterDetach.fetch_add(1);
        }
    } observer;
    TSettings settings;
    ChangesTree tree(settings);
    tree.StartFill(false);
    tree.SetObserver(&observer);
    tree.AcknowledgeChanges();
    const auto add = [&tree] {
        TNodeData rec;
        rec.Kind = ckFolderCreated;
        rec.Path = "C:";
        tree.AddToTree("C:", "A", std::move(rec));
    };
    std::thread worker(add);
    while (!observer.entered.load()) std::this_thread::yield();
    tree.SetObserver(nullptr);
    observer.detached.store(true);
    worker.join();
    tree.AcknowledgeChanges();
    add();
    EXPECT_EQ(observer.calls.load(), 1);
    EXPECT_EQ(observer.callsAfterDetach.load(), 0);
}

}  // namespace
}  // namespace kelvora
