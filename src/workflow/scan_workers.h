// The workers the wizard starts: it asks a factory for them, so that the
// tests can hand it workers they hold at a pause point.
#pragma once

#include <memory>

#include "changes/changes_tree.h"
#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "scan/base_scan_thread.h"
#include "scan/safe_thread.h"
#include "settings/app_context.h"

namespace kelvora {

class IWorkerFactory {
public:
    virtual ~IWorkerFactory() = default;
    // The first scan (ScanThread), not started.
    virtual std::unique_ptr<TSafeThread> NewScan(IScanProgress& progress) = 0;
    // The rescan (ReScanThread) into tree, which holds its frame only.
    virtual std::unique_ptr<TSafeThread> NewRescan(IScanProgress& progress, ChangesTree& tree) = 0;
};

// The real scan threads.
class TScanWorkers final : public IWorkerFactory {
public:
    TScanWorkers(AppContext& context, platform::Platform& os, platform::Dispatcher& dispatcher)
        : context_(context), os_(os), dispatcher_(dispatcher) {}
    std::unique_ptr<TSafeThread> NewScan(IScanProgress& progress) override;
    std::unique_ptr<TSafeThread> NewRescan(IScanProgress& progress, ChangesTree& tree) override;

private:
    AppContext& context_;
    platform::Platform& os_;
    platform::Dispatcher& dispatcher_;
};

}  // namespace kelvora
