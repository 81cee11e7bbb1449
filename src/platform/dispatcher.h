// Running calls on the main thread. A worker hands a call to the main thread
// and waits for it (Synchronize) or only queues it (Post); the main thread
// runs what is queued when it gets to it (ProcessPending). The window sets a
// wake-up hook that posts a message to itself, so queued calls are run from
// its message loop; tests and console loops pump with WaitForWork.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kelvora::platform {

class Dispatcher {
public:
    // The thread that creates the dispatcher is its main thread.
    Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

    // Runs fn on the main thread and waits until it has run; an exception that
    // fn throws is rethrown here. On the main thread fn simply runs.
    void Synchronize(const std::function<void()>& fn);
    // Queues fn for the main thread and returns at once (any thread).
    void Post(std::function<void()> fn);

    // Main thread: runs every queued call, in order, including calls queued
    // while it runs. Returns how many ran. An exception thrown by a posted call
    // leaves the rest queued and propagates.
    std::size_t ProcessPending();
    // Main thread: waits until a call is queued or timeout has passed; true
    // when one is queued.
    bool WaitForWork(std::chrono::milliseconds timeout);
    // Main thread: runs queued calls and otherwise waits until done() is
    // true. done() is evaluated under the dispatcher's lock, so whoever
    // changes what it tests must call Wake() afterwards.
    void ServeUntil(const std::function<bool()>& done);
    // Makes a waiting ServeUntil test its condition again (any thread).
    void Wake();

    // Called from the queuing thread after a call was queued (the window posts
    // itself a message). May be empty.
    void SetWakeUpHook(std::function<void()> hook);

private:
    std::function<void()> PopLocked();

    const std::thread::id mainThread_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    std::function<void()> wakeUpHook_;
    std::uint64_t wakes_ = 0;
};

}  // namespace kelvora::platform
