// TLoadCheckTree: the worker that loads an archive into the changes tree
// (see archive_load.h for what it does and how it ends).
#pragma once

#include "changes/changes_tree.h"
#include "platform/dispatcher.h"
#include "platform/platform.h"
#include "settings/app_context.h"
#include "worker/safe_thread.h"

namespace kelvora {

// Where the loader's progress shows, on the main thread: the window's
// progress bar (maximum 100).
class ILoadProgress {
public:
    virtual ~ILoadProgress() = default;
    virtual void SetProgress(int percent) = 0;
};

class TLoadCheckTree final : public TSafeThread {
public:
    // The caller has cleared and framed the tree in uninstall mode
    // (ChangesTree::StartFill(true)) and set AppIdentifier. Everything passed
    // in outlives the worker. A stop is a plain Terminate (no pause).
    TLoadCheckTree(AppContext& context, platform::Platform& platform, platform::Dispatcher& dispatcher,
                   ChangesTree& tree, ILoadProgress& progress)
        : TSafeThread(dispatcher),
          context_(context),
          platform_(platform),
          tree_(tree),
          progress_(progress) {}
    ~TLoadCheckTree() override { Abandon(); }

protected:
    void Execute() override;

private:
    AppContext& context_;
    platform::Platform& platform_;
    ChangesTree& tree_;
    ILoadProgress& progress_;
};

}  // namespace kelvora
