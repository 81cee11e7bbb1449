// Waiting inside a worker for what other threads of it do: the waiting
// thread counts as halted for a pause meanwhile (IWorkerControl::BeginWait),
// and goes on only when no pause is requested.
#pragma once

#include <condition_variable>
#include <mutex>

#include "worker/worker_control.h"

namespace kelvora {

// With lock held: waits on changed until done() holds. The lock is let go
// while the worker's count of halted threads changes, which takes a lock of
// its own.
template <class Done>
void WaitHalted(IWorkerControl& worker, std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
                Done done) {
    if (done()) return;
    lock.unlock();
    worker.BeginWait();
    lock.lock();
    changed.wait(lock, done);
    lock.unlock();
    worker.EndWait();
    lock.lock();
}

}  // namespace kelvora
