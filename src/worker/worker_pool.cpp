#include "worker/worker_pool.h"

#include "worker/halted_wait.h"

namespace kelvora {

TWorkerPool::TWorkerPool(IWorkerControl& owner, unsigned workers)
    : owner_(owner), control_(owner) {
    if (workers <= 1) return;
    threads_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) {
        // Counted here, on the owner's running thread: a pause never sees
        // every thread halted while one is about to start.
        owner_.JoinThread();
        try {
            threads_.emplace_back([this] { Serve(); });
        } catch (...) {
            owner_.LeaveThread();
            throw;
        }
    }
}

TWorkerPool::~TWorkerPool() {
    {
        std::lock_guard lock(mutex_);
        control_.GiveUp();
    }
    changed_.notify_all();
    owner_.BeginWait();
    for (std::thread& thread : threads_) thread.join();
    owner_.EndWait();
}

std::size_t TWorkerPool::Add(Task task) {
    std::size_t number = 0;
    {
        std::lock_guard lock(mutex_);
        number = slots_.size();
        slots_.push_back(Slot{std::move(task)});
        CountSpare();
    }
    changed_.notify_all();
    return number;
}

void TWorkerPool::Run(Slot& slot) {
    try {
        if (!control_.Terminated()) slot.task(control_);
    } catch (...) {
        slot.error = std::current_exception();
    }
    slot.task = nullptr;  // what the task holds goes now, not with the pool
}

void TWorkerPool::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (nextToRun_ == slots_.size() && !control_.GivenUp()) {
            ++idle_;
            CountSpare();
            // A task is not started while the owner is paused.
            WaitHalted(owner_, lock, changed_, [this] { return nextToRun_ < slots_.size() || control_.GivenUp(); });
            --idle_;
            CountSpare();
        }
        if (nextToRun_ == slots_.size()) {
            if (control_.GivenUp()) break;
            continue;
        }
        Slot& slot = slots_[nextToRun_++];
        CountSpare();
        lock.unlock();
        Run(slot);
        lock.lock();
        slot.done = true;
        changed_.notify_all();
    }
    lock.unlock();
    owner_.LeaveThread();
}

void TWorkerPool::Wait(std::size_t task) {
    std::exception_ptr error;
    if (threads_.empty()) {
        while (nextToRun_ <= task) Run(slots_[nextToRun_++]);
        error = slots_[task].error;
    } else {
        // Between tasks the owner is at a safe point of its own, as the
        // task's walk would be on one worker.
        owner_.PausePoint();
        std::unique_lock lock(mutex_);
        WaitHalted(owner_, lock, changed_, [&] { return slots_[task].done; });
        // Read under the lock: tasks may add tasks meanwhile.
        error = slots_[task].error;
    }
    if (error) std::rethrow_exception(error);
}

}  // namespace kelvora
