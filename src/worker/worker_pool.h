// TWorkerPool: the threads a worker walks with. Its owner (the worker's own
// thread) adds tasks in the order their results are wanted and waits for
// them in that order; the pool's threads take the tasks in the order they
// were added. A pool of one worker has no threads: each task runs on the
// owner's thread when it is waited for, so the work goes in exactly the
// order and at the moments of a walk without a pool.
//
// Tasks receive the control they poll: the owner's stop request and pause
// points, and the pool's own stop (the pool closing, after a failure or a
// stop). A task that has not started when a stop is requested is skipped.
// A task's exception is kept and rethrown by Wait. The pool's threads take
// part in the owner's pause (IWorkerControl::JoinThread): a pause of the
// owner halts all of them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "worker/stoppable_control.h"
#include "worker/worker_control.h"

namespace kelvora {

class TWorkerPool {
public:
    using Task = std::function<void(IWorkerControl& control)>;

    // workers: how many tasks may run at once (1 or less: none at once, on
    // the owner's thread).
    TWorkerPool(IWorkerControl& owner, unsigned workers);
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;
    // Stops what still runs (the control's stop) and waits for the threads.
    ~TWorkerPool();

    // Adds a task (the owner, or a task itself); answers its number (0, 1, ...).
    std::size_t Add(Task task);
    // True when a thread of the pool waits with nothing to do: a task added
    // now would start at once.
    bool WantsWork() const { return spare_.load() > 0; }
    // False for a pool of one worker (it has no threads).
    bool Parallel() const { return !threads_.empty(); }
    // Owner: waits until the task has ended (with one worker: runs it and
    // every task before it not yet run); rethrows its exception.
    void Wait(std::size_t task);

private:
    struct Slot {
        Task task;
        bool done = false;
        std::exception_ptr error;
    };

    void Serve();
    void Run(Slot& slot);
    // Under mutex_, after idle_ or the tasks not started changed.
    void CountSpare() { spare_.store(idle_ - static_cast<long>(slots_.size() - nextToRun_)); }

    IWorkerControl& owner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Slot> slots_;    // a deque: a slot stays in place while others are added
    std::size_t nextToRun_ = 0;  // under mutex_
    long idle_ = 0;              // threads waiting for a task, under mutex_
    // Idle threads less the tasks not started (under mutex_; read anywhere).
    std::atomic<long> spare_{0};
    // What the tasks poll; given up when the pool closes.
    TStoppableControl control_;
    std::vector<std::thread> threads_;
};

}  // namespace kelvora
