#include "worker/safe_thread.h"

#include <exception>
#include <stdexcept>

namespace kelvora {

TSafeThread::TSafeThread(platform::Dispatcher& dispatcher) : dispatcher_(dispatcher) {}

TSafeThread::~TSafeThread() {
    // The most derived class has abandoned a running worker in its own
    // destructor; a thread still in Execute now would run on in a destroyed
    // object, which no later step here could make safe.
    if (thread_.joinable() && !run_->finished.load()) std::terminate();
    Abandon();  // joins a thread that has just finished; drops its end handler
}

void TSafeThread::Start() {
    if (thread_.joinable() || run_->finished.load()) throw std::logic_error("worker started twice");
    thread_ = std::thread(&TSafeThread::Run, this);
}

void TSafeThread::Run() {
    try {
        Execute();
        if (!workEndSet_) workEnd_ = Terminated() ? TWorkEnd::Stopped : TWorkEnd::Completed;
    } catch (...) {
        fatalException_ = std::current_exception();
    }
    run_->finished.store(true);
    dispatcher_.Wake();  // a Pause waiting for this worker returns
    dispatcher_.Post([this, run = run_] {
        if (run->endHandlerWanted) EndOfRun();
    });
}

void TSafeThread::EndOfRun() {
    thread_.join();  // the thread has nothing left to do but return
    EndHandler handler = onTerminate_;
    if (handler) handler(*this);
    // The handler may have destroyed this object.
}

void TSafeThread::Pause() {
    if (!thread_.joinable() || run_->finished.load()) return;
    {
        std::lock_guard lock(pauseMutex_);
        pauseRequested_.store(true);
    }
    // halted is read first: a thread counted there stays halted until
    // Resume, so if it equals the count of threads read after it, every
    // thread is halted.
    dispatcher_.ServeUntil([run = run_] {
        const int halted = run->halted.load();
        return halted >= run->threads.load() || run->finished.load();
    });
    // The end handler may have run (and destroyed this object) meanwhile.
}

void TSafeThread::Resume() {
    {
        std::lock_guard lock(pauseMutex_);
        pauseRequested_.store(false);
    }
    resumed_.notify_all();
}

void TSafeThread::Abandon() {
    run_->endHandlerWanted = false;
    if (!thread_.joinable()) return;
    Terminate();
    Resume();
    dispatcher_.ServeUntil([this] { return run_->finished.load(); });
    thread_.join();
}

void TSafeThread::PausePoint() {
    if (!pauseRequested_.load()) return;
    std::unique_lock lock(pauseMutex_);
    if (!pauseRequested_.load()) return;
    run_->halted.fetch_add(1);
    dispatcher_.Wake();
    resumed_.wait(lock, [this] { return !pauseRequested_.load(); });
    // Counted off before the lock is released, so a Pause that follows a
    // Resume at once never mistakes this wait for the next one.
    run_->halted.fetch_sub(1);
}

void TSafeThread::LeaveThread() {
    run_->threads.fetch_sub(1);
    dispatcher_.Wake();  // the threads left may all be halted now
}

void TSafeThread::BeginWait() {
    std::lock_guard lock(pauseMutex_);
    run_->halted.fetch_add(1);
    if (pauseRequested_.load()) dispatcher_.Wake();
}

void TSafeThread::EndWait() {
    std::unique_lock lock(pauseMutex_);
    resumed_.wait(lock, [this] { return !pauseRequested_.load(); });
    run_->halted.fetch_sub(1);
}

}  // namespace kelvora
