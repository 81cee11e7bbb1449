// What a long walk needs from the worker that runs it: whether a stop was
// requested, and a safe point at which the main thread may halt it.
#pragma once

namespace kelvora {

class IWorkerControl {
public:
    virtual ~IWorkerControl() = default;
    // The thread's terminated flag (a stop request).
    virtual bool Terminated() const = 0;
    // Called between items of work; the main thread may halt the worker here.
    virtual void PausePoint() = 0;
};

}  // namespace kelvora
