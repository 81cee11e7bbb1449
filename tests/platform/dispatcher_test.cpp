#include "platform/dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace kelvora::platform {
namespace {

using namespace std::chrono_literals;

TEST(Dispatcher, SynchronizeRunsOnTheMainThreadAndRethrowsInTheWorker) {
    Dispatcher dispatcher;
    std::thread::id ranOn;
    std::atomic<bool> caught{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        dispatcher.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        try {
            dispatcher.Synchronize([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error& e) {
            caught = std::string(e.what()) == "boom";
        }
        done = true;
        dispatcher.Wake();
    });
    dispatcher.ServeUntil([&] { return done.load(); });
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(caught);
}

TEST(Dispatcher, PostedCallsRunInOrderWhenPumpedAndWakeTheWindow) {
    Dispatcher dispatcher;
    std::atomic<int> wakeUps{0};
    dispatcher.SetWakeUpHook([&] { ++wakeUps; });
    std::vector<int> order;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) dispatcher.Post([&order, i] { order.push_back(i); });
    });
    worker.join();
    EXPECT_EQ(wakeUps, 3);
    EXPECT_TRUE(dispatcher.WaitForWork(0ms));
    // A call queued while the queue is being run runs in the same round.
    dispatcher.Post([&] { dispatcher.Post([&] { order.push_back(9); }); });
    EXPECT_EQ(dispatcher.ProcessPending(), 5u);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 9}));
    EXPECT_FALSE(dispatcher.WaitForWork(1ms));
}

}  // namespace
}  // namespace kelvora::platform
