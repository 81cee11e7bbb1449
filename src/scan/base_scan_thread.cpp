#include "scan/base_scan_thread.h"

namespace kelvora {

void BaseScanThread::ShowStatus() {
    Synchronize([this] { progress_.ShowStatus(Status); });
}

void BaseScanThread::StepProgress() {
    if (Terminated()) return;
    // Tested again on the main thread: a Cancel may have come in between.
    Synchronize([this] {
        if (!Terminated()) progress_.StepProgress();
    });
}

}  // namespace kelvora
