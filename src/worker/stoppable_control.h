// A worker's control for work that may be given up on its own: it stops
// when the worker is told to stop or when the work is given up, and passes
// the worker's pause points and waits on.
#pragma once

#include <atomic>

#include "worker/worker_control.h"

namespace kelvora {

class TStoppableControl final : public IWorkerControl {
public:
    explicit TStoppableControl(IWorkerControl& worker) : worker_(worker) {}

    // Any thread: the work is given up.
    void GiveUp() { givenUp_.store(true); }
    bool GivenUp() const { return givenUp_.load(); }
    IWorkerControl& Worker() const { return worker_; }

    bool Terminated() const override { return givenUp_.load() || worker_.Terminated(); }
    void PausePoint() override { worker_.PausePoint(); }
    void BeginWait() override { worker_.BeginWait(); }
    void EndWait() override { worker_.EndWait(); }

private:
    IWorkerControl& worker_;
    std::atomic<bool> givenUp_{false};
};

}  // namespace kelvora
