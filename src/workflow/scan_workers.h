// The workers the wizard starts: it asks a factory for them, so that the
// tests can hand it workers they hold at a pause point. Besides the scans,
// the wizard stores a large archive on a thread of its own, so that the
// window goes on answering while the disk takes it.
#pragma once

#include <memory>

#include "changes/changes_tree.h"
#include "changes/chg_archive.h"
#include "changes/load_check_tree.h"
#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "scan/base_scan_thread.h"
#include "settings/app_context.h"
#include "uninstall/dezinstaler.h"
#include "worker/safe_thread.h"

namespace kelvora {

class IWorkerFactory {
public:
    virtual ~IWorkerFactory() = default;
    // The first scan (ScanThread), not started.
    virtual std::unique_ptr<TSafeThread> NewScan(IScanProgress& progress) = 0;
    // The rescan (ReScanThread) into tree, which holds its frame only.
    virtual std::unique_ptr<TSafeThread> NewRescan(IScanProgress& progress, ChangesTree& tree) = 0;
    // The archive loader (TLoadCheckTree) into tree, framed for uninstalling.
    virtual std::unique_ptr<TSafeThread> NewLoad(ILoadProgress& progress, ChangesTree& tree) = 0;
    // The uninstaller (TDezinstaler).
    virtual std::unique_ptr<TSafeThread> NewUninstall(const UninstallServices& services) = 0;
};

// Stores an archive built in memory (TChgArchive::Save) on its own thread.
class TArchiveWriter final : public TSafeThread {
public:
    TArchiveWriter(platform::Dispatcher& dispatcher, TChgArchive archive)
        : TSafeThread(dispatcher), archive_(std::move(archive)) {}
    // After the end: the archive could not be stored.
    bool Failed() const { return failed_; }

protected:
    void Execute() override;

private:
    TChgArchive archive_;
    bool failed_ = false;
};

// The real workers.
class TScanWorkers final : public IWorkerFactory {
public:
    TScanWorkers(AppContext& context, platform::Platform& os, platform::Dispatcher& dispatcher)
        : context_(context), os_(os), dispatcher_(dispatcher) {}
    std::unique_ptr<TSafeThread> NewScan(IScanProgress& progress) override;
    std::unique_ptr<TSafeThread> NewRescan(IScanProgress& progress, ChangesTree& tree) override;
    std::unique_ptr<TSafeThread> NewLoad(ILoadProgress& progress, ChangesTree& tree) override;
    std::unique_ptr<TSafeThread> NewUninstall(const UninstallServices& services) override;

private:
    AppContext& context_;
    platform::Platform& os_;
    platform::Dispatcher& dispatcher_;
};

}  // namespace kelvora
