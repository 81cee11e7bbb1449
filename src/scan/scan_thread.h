// The two scan workers: ScanThread takes the snapshots before an
// installation, ReScanThread rescans after it and fills the changes tree.
// Their order of work is in scan_sequence.h; here they are bound to the
// worker base, which shows their status and progress on the main thread.
#pragma once

#include "scan/base_scan_thread.h"
#include "scan/change_sink.h"

namespace kelvora {

// Reports a sequence's status and steps through a thread's synchronised calls.
template <class Thread>
class ThreadProgress;

class ScanThread final : public BaseScanThread {
public:
    using BaseScanThread::BaseScanThread;
    ~ScanThread() override { Abandon(); }

protected:
    void Execute() override;

private:
    friend class ThreadProgress<ScanThread>;
};

class ReScanThread final : public BaseScanThread {
public:
    // changes: the changes tree, already holding only its fixed frame.
    ReScanThread(AppContext& context, platform::Platform& platform, platform::Dispatcher& dispatcher,
                 IScanProgress& progress, ChangesTree& changes)
        : BaseScanThread(context, platform, dispatcher, progress), changes_(changes) {}
    ~ReScanThread() override { Abandon(); }

protected:
    void Execute() override;

private:
    friend class ThreadProgress<ReScanThread>;
    ChangesTree& changes_;
};

}  // namespace kelvora
