#include "workflow/scan_workers.h"

#include "scan/scan_thread.h"

namespace kelvora {

std::unique_ptr<TSafeThread> TScanWorkers::NewScan(IScanProgress& progress) {
    return std::make_unique<ScanThread>(context_, os_, dispatcher_, progress);
}

std::unique_ptr<TSafeThread> TScanWorkers::NewRescan(IScanProgress& progress, ChangesTree& tree) {
    return std::make_unique<ReScanThread>(context_, os_, dispatcher_, progress, tree);
}

std::unique_ptr<TSafeThread> TScanWorkers::NewLoad(ILoadProgress& progress, ChangesTree& tree) {
    return std::make_unique<TLoadCheckTree>(context_, os_, dispatcher_, tree, progress);
}

std::unique_ptr<TSafeThread> TScanWorkers::NewUninstall(const UninstallServices& services) {
    return std::make_unique<TDezinstaler>(services);
}

void TArchiveWriter::Execute() {
    try {
        archive_.Save();
    } catch (const ArchiveError&) {
        failed_ = true;
    }
}

}  // namespace kelvora
