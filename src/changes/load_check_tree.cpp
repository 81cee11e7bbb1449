#include "changes/load_check_tree.h"

#include "changes/archive_load.h"

namespace kelvora {

void TLoadCheckTree::Execute() {
    // The bar is moved only when the percentage changes, and without waiting
    // for the main thread: at most 101 calls however long the archive is.
    int shown = -1;
    ILoadProgress& progress = progress_;
    SetWorkEnd(LoadCheckTree(context_, platform_.files, platform_.clock, tree_, *this, [&](int percent) {
        if (percent == shown) return;
        shown = percent;
        Dispatcher().Post([&progress, percent] { progress.SetProgress(percent); });
    }));
}

}  // namespace kelvora
