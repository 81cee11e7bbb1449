// What the checks and the seed generator share: the program's folder on the
// in-memory platform, and a worker that is never stopped.
#pragma once

#include "worker/worker_control.h"

namespace kelvora::fuzz {

inline constexpr char kProgramFolder[] = "C:\\Kelvora";

class NeverStop : public IWorkerControl {
public:
    bool Terminated() const override { return false; }
    void PausePoint() override {}
};

}  // namespace kelvora::fuzz
