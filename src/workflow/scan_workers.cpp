#include "workflow/scan_workers.h"

#include "scan/scan_thread.h"

namespace kelvora {

std::unique_ptr<TSafeThread> TScanWorkers::NewScan(IScanProgress& progress) {
    return std::make_unique<ScanThread>(context_, os_, dispatcher_, progress);
}

std::unique_ptr<TSafeThread> TScanWorkers::NewRescan(IScanProgress& progress, ChangesTree& tree) {
    return std::make_unique<ReScanThread>(context_, os_, dispatcher_, progress, tree);
}

void TArchiveWriter::Execute() {
    try {
        archive_.Save();
    } catch (const ArchiveError&) {
        failed_ = true;
    }
}

}  // namespace kelvora
