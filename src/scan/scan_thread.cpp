#include "scan/scan_thread.h"

#include "scan/scan_sequence.h"
#include "scan/snapshot_loader.h"

namespace kelvora {

// The sequences report through the thread: Status, then the synchronised
// ShowStatus; StepProgress as the thread does it (never after a stop).
template <class Thread>
class ThreadProgress : public IScanProgress {
public:
    explicit ThreadProgress(Thread& thread) : thread_(thread) {}
    void ShowStatus(const std::string& status) override {
        thread_.Status = status;
        thread_.ShowStatus();
    }
    void StepProgress() override { thread_.StepProgress(); }

private:
    Thread& thread_;
};

void ScanThread::Execute() {
    ScanEnv env = Env();
    ThreadProgress<ScanThread> progress(*this);
    SetWorkEnd(ExecuteScan(env, progress));
}

void ReScanThread::Execute() {
    ScanEnv env = Env();
    env.separators = platform_.locale.Separators();
    ThreadProgress<ReScanThread> progress(*this);
    SetWorkEnd(ExecuteRescan(env, progress, changes_, [this](std::string_view name) {
        return LoadSnapshot(platform_.files, config_.ProgramFolder, name, wizardState_, *this);
    }));
}

}  // namespace kelvora
