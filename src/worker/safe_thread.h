// TSafeThread: the base of every worker (scans, archive loader, uninstaller).
// It runs Execute on a thread of its own, reports its end to the main thread,
// and can be halted at a safe point so that the main thread may ask the user
// a question and then let it go on or stop it.
//
// Ownership. The owner (the main window) creates the worker not started,
// holds it in a std::unique_ptr, sets the end handler and calls Start().
// When Execute has ended, normally or by an exception (which is kept, see
// FatalException, and never crosses to the main thread), the end handler runs
// on the main thread through the dispatcher; that handler is where the owner
// releases the worker (resets its unique_ptr). The worker never deletes
// itself, and nothing touches it after the end handler has returned, so the
// handler may destroy it. A worker that is dropped while it still runs is
// abandoned (Abandon()): told to stop, served until its thread has ended, and
// its end handler does not run.
//
// Destruction. Execute runs in the most derived object, whose members die
// before this base's destructor runs; so every concrete worker class is
// final and calls Abandon() in its own destructor, and the owner may destroy
// a running worker at any time (also during stack unwinding). This base's
// destructor ends the program when the thread is still running, since Execute
// would go on in a destroyed object: a worker class that forgot.
//
// Pause protocol (main thread: Pause, then optionally Cancel, then Resume;
// worker: PausePoint between items of work): Pause returns once the worker
// waits at a pause point or has ended, serving the dispatcher meanwhile so a
// worker waiting in a synchronise call can reach its next pause point (so a
// worker reaches the main thread through the dispatcher only: Pause serves
// nothing else). A paused worker sleeps on a condition variable until Resume.
// A worker that walks on several threads is halted when every one of them is
// at a pause point or waiting for the others.
//
// The worker tells how it ended (WorkEnd) and nothing more: the program's
// WizardState is its owner's, who sets it before Start and from the end
// handler, and sets wsStopped before a terminate request that the user made.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/dispatcher.h"
#include "worker/worker_control.h"

namespace kelvora {

class TSafeThread : public IWorkerControl {
public:
    using EndHandler = std::function<void(TSafeThread&)>;

    // Created not started.
    explicit TSafeThread(platform::Dispatcher& dispatcher);
    TSafeThread(const TSafeThread&) = delete;
    TSafeThread& operator=(const TSafeThread&) = delete;
    // See "Destruction" above.
    ~TSafeThread() override;

    // Main thread, before Start: the handler run on the main thread after
    // Execute has ended.
    void SetOnTerminate(EndHandler handler) { onTerminate_ = std::move(handler); }
    // Main thread: starts the thread (once).
    void Start();

    // The terminate request: sets the terminated flag that Execute polls.
    void Terminate() { terminated_.store(true); }
    bool Terminated() const override { return terminated_.load(); }
    // True once Execute has ended.
    bool Finished() const { return run_->finished.load(); }
    // The exception that ended Execute, if any. Main thread, from the end
    // handler on.
    std::exception_ptr FatalException() const { return fatalException_; }
    // How Execute ended when it returned (see SetWorkEnd). Main thread, from
    // the end handler on.
    TWorkEnd WorkEnd() const { return workEnd_; }

    // Main thread: halts the worker at its next pause point; returns at once
    // when it is not running.
    void Pause();
    // Main thread: lets a paused worker go on.
    void Resume();
    // Main thread: stops a running worker and waits until its thread has
    // ended; its end handler will not run.
    void Abandon();

    // Worker: a safe point between items of work.
    void PausePoint() override;
    // Worker: the threads that take part in the work (see IWorkerControl).
    void JoinThread() override { run_->threads.fetch_add(1); }
    void LeaveThread() override;
    void BeginWait() override;
    void EndWait() override;

protected:
    // The work, run once on the worker's thread.
    virtual void Execute() = 0;

    // Worker: runs fn on the main thread and waits; fn's exception is
    // rethrown here.
    void Synchronize(const std::function<void()>& fn) { dispatcher_.Synchronize(fn); }
    platform::Dispatcher& Dispatcher() const { return dispatcher_; }
    // Worker: how the run ended. Unless Execute says otherwise, a run that
    // returns has stopped when the terminate request came, else completed.
    void SetWorkEnd(TWorkEnd end) { workEnd_ = end; workEndSet_ = true; }

private:
    void Run();
    void EndOfRun();

    platform::Dispatcher& dispatcher_;
    EndHandler onTerminate_;
    std::thread thread_;
    std::exception_ptr fatalException_;
    TWorkEnd workEnd_ = TWorkEnd::Stopped;
    bool workEndSet_ = false;

    // What the main thread may still test after the worker is destroyed
    // (the end handler can run, and destroy it, inside a wait of Pause).
    struct RunState {
        std::atomic<bool> finished{false};
        // The threads taking part in Execute, and those of them halted at a
        // pause point or waiting for the others (changed under pauseMutex_).
        std::atomic<int> threads{1};
        std::atomic<int> halted{0};
        // False once the end handler must no longer run (the worker
        // abandoned); read and written on the main thread only.
        bool endHandlerWanted = true;
    };
    std::shared_ptr<RunState> run_ = std::make_shared<RunState>();

    std::atomic<bool> terminated_{false};
    std::mutex pauseMutex_;
    std::condition_variable resumed_;
    std::atomic<bool> pauseRequested_{false};  // written under pauseMutex_
};

}  // namespace kelvora
