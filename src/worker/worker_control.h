// What a long walk needs from the worker that runs it: whether a stop was
// requested, and a safe point at which the main thread may halt it.
#pragma once

#include <cstdint>

namespace kelvora {

// How a worker's run ended, as it reports it to its owner: all its work
// done, cut short by the terminate request, or refused because its input
// proved damaged (an archive that is not one). A fault is an exception.
enum class TWorkEnd : std::uint8_t { Completed, Stopped, Refused };

class IWorkerControl {
public:
    virtual ~IWorkerControl() = default;
    // The thread's terminated flag (a stop request).
    virtual bool Terminated() const = 0;
    // Called between items of work; the main thread may halt the worker here.
    virtual void PausePoint() = 0;

    // A worker that walks on several threads (worker_pool.h) tells how many
    // take part, so that a pause waits until every one of them is halted.
    // A thread joins before it starts (counted by the thread that starts
    // it) and leaves when it ends.
    virtual void JoinThread() {}
    virtual void LeaveThread() {}
    // A thread that waits for the others' work counts as halted meanwhile;
    // EndWait returns only when no pause is requested, so it never runs on
    // while the main thread believes the worker halted.
    virtual void BeginWait() {}
    virtual void EndWait() {}
};

}  // namespace kelvora
